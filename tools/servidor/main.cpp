// bipvox-servidor: delivers the page queue of one Pager.Mdb. Runs in the foreground (under
// systemd, or in a terminal), logging one line per event to standard error.
#include "ServicoDaFila.h"
#include "ServidorSNPP.h"
#include "common/Interrupcao.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "shell/LocalDoBanco.h"
#include "store/BancoDeDados.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

const char* const kAjuda =
    "Uso: bipvox-servidor [--banco ARQUIVO]\n"
    "     bipvox-servidor --usuario-snpp NOME\n"
    "\n"
    "Entrega as páginas da fila de envio (bipvox-enviar --fila) pelo modem, pela linha direta ou\n"
    "por TCP, como o Bipvox configurado em Bipvoxcf.INI: acorda quando uma página chega, faz uma\n"
    "ligação para todas as páginas que aguardam, grava cada página entregue no histórico e tenta\n"
    "de novo as que falharam, com os intervalos da seção [FILA]. Fica em primeiro plano e escreve\n"
    "uma linha por acontecimento na saída de erros. SIGTERM termina a página que está na linha,\n"
    "encerra a sessão, desliga e sai. Também recebe páginas pela rede em SNPP (RFC 1861), no\n"
    "endereço e na porta da seção [SNPP] (padrão: 127.0.0.1, porta 444).\n"
    "\n"
    "  --banco ARQUIVO  o Pager.Mdb a usar; sem ela, o da chave Arquivo da seção [BANCO] de\n"
    "                   Bipvoxcf.INI, senão o que está ao lado do programa, senão\n"
    "                   ~/.local/share/bipvox/Pager.Mdb ($XDG_DATA_HOME), criado vazio se faltar\n"
    "  --usuario-snpp NOME  grava o usuário na lista de senhas do SNPP ([SNPP] Arquivo de\n"
    "                   Senhas), com a senha lida da entrada padrão, e sai\n"
    "  --help           mostra este texto\n"
    "  --version        mostra a versão\n";

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    // From the start, the handler the senders share: a signal during start-up still ends cleanly.
    Interrupcao::Instala();
    QString banco;
    const QStringList argumentos = aplicacao.arguments().mid(1);
    for (int i = 0; i < argumentos.size(); ++i) {
        const QString& a = argumentos[i];
        if (a == QLatin1String("--help") || a == QLatin1String("--ajuda")) {
            std::fputs(kAjuda, stdout);
            return 0;
        }
        if (a == QLatin1String("--version") || a == QLatin1String("--versao")) {
            std::printf("bipvox-servidor (%s) %s\n", qPrintable(Modulo::NomeDoPrograma),
                        qPrintable(Modulo::VersaoDoPrograma));
            return 0;
        }
        if (a == QLatin1String("--usuario-snpp") && i + 1 < argumentos.size())
            return GravaUsuarioSNPP(argumentos[i + 1], stdin);
        if (a == QLatin1String("--banco") && i + 1 < argumentos.size() && banco.isEmpty()) {
            banco = argumentos[++i];
            continue;
        }
        if (a.startsWith(QLatin1String("--banco=")) && banco.isEmpty()) {
            banco = a.mid(8);
            continue;
        }
        std::fprintf(stderr, "bipvox-servidor: opção inválida: %s (veja bipvox-servidor --help)\n",
                     qPrintable(a));
        return 3;
    }
    const AberturaDoBanco abertura = AbreBancoDoPrograma(banco);
    if (!abertura.aberto) {
        std::fprintf(stderr,
                     "bipvox-servidor: não foi possível abrir o banco de dados %s: ausente, danificado, "
                     "protegido contra escrita ou sem as tabelas do Bipvox.%s\n",
                     qPrintable(DescreveLocalDoBanco(abertura.local)),
                     qPrintable(abertura.erro.isEmpty() ? QString() : QLatin1Char(' ') + abertura.erro));
        return 4;
    }
    if (!abertura.aviso.isEmpty())
        std::fprintf(stderr, "bipvox-servidor: %s\n", qPrintable(abertura.aviso));
    RelogioReal relogio;
    ServicoDaFila servico(relogio);
    if (!servico.Inicia())
        return 4;
    // The SNPP thread wakes the delivery here directly, not through the submitters' socket.
    const LinhaSNPP snpp(
        [&servico](const QString& texto) { servico.Registra(texto); },
        [&servico] { QMetaObject::invokeMethod(&servico, &ServicoDaFila::Acorda, Qt::QueuedConnection); });
    const int saida = aplicacao.exec();
    FechaBancoDeDados();
    return saida;
}
