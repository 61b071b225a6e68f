#pragma once
// The group entry dialog: one group's name and description, new or altered. Its mode is the
// hidden pnlId: "-" for a new group, else the identifier of the group being altered.
#include "common/Operador.h"
#include "directory/CadastroDeGrupos.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QToolButton;
class frmCaixaDeTexto;

class frmCadastraGrupos : public QDialog {
    Q_OBJECT
public:
    explicit frmCadastraGrupos(Operador& operador, QWidget* pai = nullptr);

    // Fills the boxes and pnlId with a stored group, for an alteration (again after another desk
    // changed it, to show it as it is).
    void PreencheParaAlterar(const Grupo& grupo);
    bool ModoNovo() const;

public slots:
    void cmdCadastrarGrupo_Click();
    void cmdRetornar_Click();

protected:
    // Escape cancels as the return button does, question included.
    void reject() override;

private:
    Operador& m_operador;
    QLabel* m_pnlId = nullptr;
    QLineEdit* m_txtNomeGrupo = nullptr;
    frmCaixaDeTexto* m_txtDescricaoGrupo = nullptr;
    Grupo m_lido; // as filled, which a save compares with the store
};
