// The program hands control to the windowing run time; start-up runs when the main window loads.
#include "shell/frmPrincipal.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return frmPrincipal::Executa(app);
}
