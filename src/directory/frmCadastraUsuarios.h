#pragma once
// The dialog that creates a pager user or alters one, with the groups he belongs to. Its hidden
// panel pnlId holds "-" for a new user, or the identifier of the user being altered.
#include "common/Operador.h"
#include "directory/CadastroDeUsuarios.h"

#include <QDialog>
#include <QVector>
#include <optional>

class QLabel;
class QLineEdit;
class QListView;
class ModeloDeGruposParaMarcar;
class QToolButton;
class frmCaixaDeTexto;

class frmCadastraUsuarios : public QDialog {
    Q_OBJECT
public:
    explicit frmCadastraUsuarios(Operador& operador, QWidget* pai = nullptr);

    // Fills the dialog to alter a user, from his row; false (the operator told) when he is no
    // longer in the directory. Called again after another desk changed him, to show him as he is.
    bool PreencheParaAlterar(qint32 idUsuario);
    // Identifier of the user being altered, 0 for a new one.
    qint32 IdDoUsuario() const;

    // Fills lstGrupos with every group, marking those of the user (0: none). True when a group
    // exists.
    bool ExibeGrupos(qint32 idUsuario);

public slots:
    void cmdCadastrarGrupo_Click();
    void cmdRetornar_Click();

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void Form_Activate();
    // Empty when the groups could not be read: saving then leaves the memberships alone.
    std::optional<QVector<qint32>> GruposMarcados() const;

    Operador& m_operador;
    QLabel* m_pnlId = nullptr;
    QLineEdit* m_txtPagerID = nullptr;
    QLineEdit* m_txtNomeUsuario = nullptr;
    frmCaixaDeTexto* m_txtDescricao = nullptr;
    QListView* m_lstGrupos = nullptr;
    ModeloDeGruposParaMarcar* m_grupos = nullptr;
    QToolButton* m_cmdCadastrarGrupo = nullptr;
    QToolButton* m_cmdRetornar = nullptr;
    bool m_ativado = false;
    // What the boxes and marks showed when filled, which a save compares with the store.
    UsuarioLido m_lido;
};
