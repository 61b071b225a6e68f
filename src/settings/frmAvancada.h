#pragma once
// The advanced options dialog: dialling through a private branch exchange and opening the
// composition window at start-up. Filled from the settings file when shown; "Ok" writes.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QVBoxLayout;
class frmAreaConexao;

class frmAvancada : public QDialog {
    Q_OBJECT
public:
    explicit frmAvancada(QWidget* pai = nullptr);

    // Fills the controls from the settings file.
    void Form_Activate();

public slots:
    // Writes the three settings in order and closes; closing in any other way writes nothing.
    void cmdOkay_Click();

protected:
    void showEvent(QShowEvent* evento) override;

private:
    // Each area is a group of its own in m_areas, filled and written by its own pair below;
    // a new area adds one group and one pair.
    void MontaAreaDiscagem();
    void MontaAreaInicio();

    QVBoxLayout* m_areas = nullptr;
    frmAreaConexao* m_fraConexao = nullptr;
    QCheckBox* m_chkPABX = nullptr;
    QLineEdit* m_txtPrefixo = nullptr;
    QCheckBox* m_chkAutoEnviar = nullptr;
};
