#pragma once
// The group membership window: pick a group, see its members in name order, add any user to
// it or remove a member. Group and user entries keep their identifiers; members are found
// again by name, so removing a name removes every user who bears it.
#include "common/Operador.h"
#include "store/ListaDeNomes.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QListView;
class QPushButton;

class frmUsuariosGrupo : public QDialog {
    Q_OBJECT
public:
    explicit frmUsuariosGrupo(Operador& operador, QWidget* pai = nullptr);

    void Form_Load();
    // Refills the group list; true when at least one group exists.
    bool AtualizaGrupos();
    // Refills the member list of the picked group.
    void AtualizaMsgGrupo();
    // Refills the list of all users and their identifiers.
    void PreencheUsuarios();

    // The system beep (tests count it instead).
    std::function<void()> bipe;

public slots:
    void cmbGrupos_Click();
    void cmdAdicionar_Click();
    void cmdRemover_Click();
    void cmdRetornar_Click();

private:
    Operador& m_operador;
    ListaDeNomes m_grupos;
    // The identifiers beside cmbUsuarios: entry k has CodigosDosUsuarios.ids[k].
    ListaDeNomes m_CodigosDosUsuarios;
    QComboBox* m_cmbGrupos = nullptr;
    QListView* m_lstUsuarios = nullptr;
    QComboBox* m_cmbUsuarios = nullptr;
};
