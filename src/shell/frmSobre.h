#pragma once
// The About dialog: who made the program and where to get support.
#include <QDialog>

class QLabel;

class frmSobre : public QDialog {
    Q_OBJECT
public:
    explicit frmSobre(QWidget* pai = nullptr);

    // Fills pnlMsg with its four lines.
    void Form_Load();

public slots:
    void cmdOkay_Click();

private:
    QLabel* m_pnlMsg = nullptr;
};
