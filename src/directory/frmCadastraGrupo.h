#pragma once
// The group management window: the groups in name order, the picked group's description, and
// new, alter and delete. Each list entry keeps its group's identifier.
#include "common/Operador.h"
#include "store/ListaDeNomes.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class frmCadastraGrupos;

class frmCadastraGrupo : public QDialog {
    Q_OBJECT
public:
    explicit frmCadastraGrupo(Operador& operador, QWidget* pai = nullptr);

    void Form_Load();
    // Refills the list; true when at least one group exists.
    bool AtualizaGrupos();
    // Shows the description of the group picked in the list.
    void AtualizaMsgGrupo();

    // How the entry dialog is shown (modally by default; tests may drive it instead).
    std::function<void(frmCadastraGrupos&)> mostraCadastro;

public slots:
    void cmbGrupos_Click();
    void cmdCadastrarGrupo_Click();
    void cmdAlterarGrupo_Click();
    void cmdExcluirGrupo_Click();
    void cmdRetornar_Click();

private:
    // After opening and after each operation: reload, first entry, its description.
    void FinalComum();
    qint32 GrupoSelecionado() const;
    void AbreCadastro(frmCadastraGrupos& dialogo, const QString& status);

    Operador& m_operador;
    ListaDeNomes m_grupos;
    QComboBox* m_cmbGrupos = nullptr;
    QLabel* m_pnlDescricaoGrupo = nullptr;
};
