#pragma once
// The user browser: the directory one user at a time, with his details, and the commands to
// alter, create, delete him and show the messages sent to him.
#include "common/Operador.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QLabel;
class QMdiArea;
class QPushButton;
class QToolButton;

class frmVisualizaUsuarios : public QDialog {
    Q_OBJECT
public:
    // History windows open in the given document area.
    frmVisualizaUsuarios(Operador& operador, QMdiArea* areaDoHistorico, QWidget* pai = nullptr);

    // Refills the list and CodigosDosUsuarios, the user manter selected while he is still listed
    // (else the first one); true when there is at least one user.
    bool AtualizaListaDeUsuarios(qint32 manter = 0);
    void ExibeInfoUsuario();
    // Identifier of the selected user; 0 with an empty list.
    qint32 UsuarioSelecionado() const;

public slots:
    void cmbUsuario_Click();
    void cmdAlterarGrupo_Click();
    void cmdCadastrarGrupo_Click();
    void cmdExcluirGrupo_Click();
    void cmdHistorico_Click();
    void cmdRetornar_Click();

private:
    void Form_Load();
    bool ListaVaziaRecusada();
    // After any change: the list from the database again, the user manter shown while he is
    // still there, else the first by name.
    void MostraUsuario(qint32 manter);

    Operador& m_operador;
    QMdiArea* m_areaDoHistorico;
    QComboBox* m_cmbUsuario = nullptr;
    QLabel* m_pnlDescricaoGrupo = nullptr;
    // Element k (from 1) is the identifier of entry k of the list; element 0 stays 0.
    QVector<qint32> m_codigosDosUsuarios;
    bool m_preenchendo = false;
};
