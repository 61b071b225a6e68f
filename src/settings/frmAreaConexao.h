#pragma once
// The "Conexão" area of the advanced options: how the program reaches the paging terminal
// (modem, direct serial line or TCP), the serial line parameters, the log-on password and what
// the terminal takes in a page (letters, control characters, length).
#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class frmAreaConexao : public QGroupBox {
    Q_OBJECT
public:
    explicit frmAreaConexao(QWidget* pai = nullptr);

    // Fills the controls from the settings file.
    void Preenche();
    // False, after telling the operator what is wrong, when a field cannot be used.
    bool Valida();
    // Writes only the keys whose value differs from what the file means now, so an untouched
    // area leaves the file as it was.
    void Grava();

private:
    void AtualizaCampos();

    QRadioButton* m_optModem = nullptr;
    QRadioButton* m_optDireta = nullptr;
    QRadioButton* m_optTCP = nullptr;
    QLineEdit* m_txtConfiguracoes = nullptr;
    QLineEdit* m_txtEndereco = nullptr;
    QLineEdit* m_txtPortaTCP = nullptr;
    QLineEdit* m_txtSenha = nullptr;
    QCheckBox* m_chkWin1252 = nullptr;
    QComboBox* m_cmbControles = nullptr;
    QSpinBox* m_txtTamanhoDaPagina = nullptr;
    QComboBox* m_cmbTextoLongo = nullptr;
};
