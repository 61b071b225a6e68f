// bipvox-simulador: a Hayes modem and a TAP paging terminal on a pseudo-terminal, so Bipvox can
// send pages with no hardware. See --help.
#include "Opcoes.h"
#include "Simulador.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // A reader that goes away must not kill the simulator before it removes its link.
    std::signal(SIGPIPE, SIG_IGN);

    Opcoes opcoes;
    QString erro;
    if (!InterpretaOpcoes(app.arguments().mid(1), opcoes, erro)) {
        std::fprintf(stderr, "bipvox-simulador: %s\n", erro.toLocal8Bit().constData());
        return 2;
    }
    if (opcoes.ajuda) {
        std::fputs(TextoDeAjuda().toLocal8Bit().constData(), stdout);
        return 0;
    }
    Simulador simulador(opcoes);
    return simulador.Executa();
}
