#pragma once
// The modem settings dialog: COM port, dialling type and area code.
#include <QDialog>

class QLineEdit;
class QRadioButton;

class frmConfigModem : public QDialog {
    Q_OBJECT
public:
    explicit frmConfigModem(QWidget* pai = nullptr);

    // Used by the menu command before showing: the choices as they are in the settings file.
    void PreencheDoArquivo();

public slots:
    // Writes the choices and closes; closing in any other way writes nothing.
    void cmdOkay_Click();

private:
    QRadioButton* m_optCom[4] = {};
    QRadioButton* m_optDiscagemTom = nullptr;
    QRadioButton* m_optDiscagemPulso = nullptr;
    QLineEdit* m_txtPrefixo = nullptr;
};
