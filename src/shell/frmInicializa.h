#pragma once
// The splash window: centred on the screen, above every other window, for the first second.
#include <QWidget>

class Relogio;

class frmInicializa : public QWidget {
    Q_OBJECT
public:
    explicit frmInicializa(Relogio& relogio);
    // Shows the window on top without taking the focus and holds for one second while events run.
    void Form_Load();

private:
    Relogio& m_relogio;
};
