// The program hands control to the windowing run time; start-up runs when the main window loads.
#include "common/Modulo.h"
#include "shell/frmPrincipal.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {
// Answered before any window exists, so they work without a display (and feed the manual page).
const char* const kAjuda =
    "Uso: bipvox\n"
    "\n"
    "Abre a janela do Bipvox, que envia mensagens para pagers: cadastro de usuários e grupos,\n"
    "envio pelo modem (protocolo TAP), por linha serial direta ou por TCP, e histórico.\n"
    "\n"
    "A configuração fica em ~/.config/Bipvoxcf.INI. Os dados ficam no arquivo da chave Arquivo\n"
    "da seção [BANCO] de Bipvoxcf.INI, senão no Pager.Mdb ao lado do programa, senão em\n"
    "~/.local/share/bipvox/Pager.Mdb ($XDG_DATA_HOME), criado vazio na primeira partida.\n"
    "\n"
    "  --help     mostra este texto\n"
    "  --version  mostra a versão\n";
} // namespace

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "--ajuda") == 0) {
            std::fputs(kAjuda, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "--versao") == 0) {
            std::printf("bipvox (%s) %s\n", qPrintable(Modulo::NomeDoPrograma),
                        qPrintable(Modulo::VersaoDoPrograma));
            return 0;
        }
    }
    QApplication app(argc, argv);
    return frmPrincipal::Executa(app);
}
