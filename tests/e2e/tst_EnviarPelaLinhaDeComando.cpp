// bipvox-enviar against bipvox-simulador through a pseudo-terminal (modem or direct cable) or its
// TCP port, judged by its exit status, what reached the paging terminal, the Log rows and what it
// told the operator.
// Rows that need the real program (standard input, a process's exit status, the port lock held
// by another process) run it; the others run its sending logic here on a clock ten times faster,
// so redials and hang-ups take a tenth of their real time. One row kills the sending program
// (this executable run again) with SIGKILL midway through a group: every page the terminal
// accepted must have its history row afterwards, and the database must be intact.
// Also the window's send with the real serial code against bipvox-simulador: over a modem on its
// pseudo-terminal, and a modem device that vanishes between two sends and comes back under the
// same name while another program holds the port (groups, the direct cable and TCP are driven
// through the command-line sender's table, a group's box in virtual time by tests/tap). Time runs
// five times faster, so a send takes about a second (the simulator's delays are set to match).
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "EnvioPelaLinhaDeComando.h"
#include "FalhaPlantada.h"
#include "MensagemDoEnvio.h"
#include "OperadorGravado.h"
#include "RelogioAcelerado.h"
#include "SimuladorExterno.h"
#include "TabelaDeTeste.h"
#include "common/Interrupcao.h"
#include "common/Modulo.h"
#include "modem/ComandosModem.h"
#include "modem/PortaSerialQt.h"
#include "modem/TravaDaPorta.h"
#include "settings/Conexao.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "store/Snapshot.h"

#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
const QString kEnviaAqui = QStringLiteral("--envia-aqui");

// The sending logic as main() runs it; what it wrote for the operator goes to escrito.
int EnviaNestePrograma(const QStringList& argumentos, QString& escrito) {
    OpcoesDoEnvio opcoes;
    QString mensagem;
    if (!InterpretaOpcoes(argumentos, opcoes, escrito) ||
        !PreparaMensagem(opcoes.palavras.join(QLatin1Char(' ')), mensagem, escrito))
        return ErroDeUso;
    std::FILE* arquivo = std::tmpfile();
    int saida = 0;
    {
        OperadorDeConsole console(opcoes.silencioso, arquivo);
        RelogioAcelerado relogio(10);
        saida = ExecutaEnvio(opcoes, mensagem, console, relogio);
    }
    std::rewind(arquivo);
    QFile lido;
    lido.open(arquivo, QIODevice::ReadOnly);
    escrito = QString::fromUtf8(lido.readAll());
    lido.close();
    std::fclose(arquivo);
    return saida;
}

// "aqui" or "porta ausente" (here), "processo" or "porta travada" (the real program), "morto" (killed)
struct Linha {
    const char* nome;
    QString como;
    QStringList cenario, argumentos;
    int saida, discagens;
    QStringList paginas; // code:message, in the order received
    QStringList log;     // ID_Pager:ID_Usuario:Usuario
    QString escrito;
    double espera = 0; // least time between two dials, at the clock's speed (--intervalo / 10)
};
const QString kAna = QStringLiteral("Ana Souza").leftJustified(50);
const QStringList kNenhum;
const QStringList kAnaOi{"--usuario", "Ana Souza", "oi"};
// n entries, the k-th (from 1) made by linha.
QStringList Lista(int n, const std::function<QString(int)>& linha) {
    QStringList lista;
    for (int k = 1; k <= n; ++k)
        lista << linha(k);
    return lista;
}
const Linha kLinhas[] = {
    // Cenário entries "ini:CHAVE=VALOR" set the program's CONEXÃO keys instead.
    {"um usuário, nome em minúsculas, 7 bits, letras de fora da tabela, escapes", "aqui",
     QStringList{"--sete-bits", "--escapes", "ini:Controles=Escape", "ini:Texto=Windows-1252"},
     QStringList{"--usuario", "ana souza", "áéíóúêâüçÁÉÍÓÚÃãÕõÇñÑà ôÂÊÔÀÜºª “x” ‘y’\nfim"}, 0, 1,
     QStringList{"1111:aeioueaucAEIOUAaOoCnNa oAEOAUoa \"x\" 'y'\nfim"}, QStringList{"1111:1:" + kAna},
     "Mensagem enviada"},
    {"ninguém atende, depois conecta", "aqui", QStringList{"--discagem=sem-resposta,conecta"},
     QStringList{"--tentativas", "2", "--intervalo=20", "--usuario", "Ana Souza", "oi"}, 0, 2,
     QStringList{"1111:oi"}, QStringList{"1111:1:" + kAna}, "Tentativa 2 de 2", 2.0},
    // A terminal that ends each call after one page: a session limit, so one call per page.
    {"uma página por ligação", "aqui", QStringList{"--desconectar-apos=1"},
     QStringList{"--grupo", "Plantão", "oi"}, 0, 3,
     QStringList{"1111:oi", "2222:oi", "2222:oi", "3333:oi", "3333:oi"},
     QStringList{"1111:1:Ana Souza", "2222:2:Beatriz", "3333:3:Carlos"}, "3 página(s) aceita(s)"},
    {"500 caracteres, páginas de 80", "aqui",
     QStringList{"--tamanho-maximo=80", "ini:Tamanho da Página=80", "ini:Texto Longo=Dividir"},
     QStringList{"--usuario", "Ana Souza", QString(500, 'x')}, 0, 1,
     Lista(7, [](int k) { return QStringLiteral("1111:(%1/7) ").arg(k) + QString(k < 7 ? 74 : 56, 'x'); }),
     QStringList(7, "1111:1:" + kAna), "Mensagem enviada"},
    {"longa recusada", "aqui", QStringList{"--tamanho-maximo=2:recusar"},
     QStringList{"--usuario", "Ana Souza", "ola"}, 1, 1, QStringList{"1111:ola"},
     QStringList{"1111:1:" + kAna}, "longa demais, recusada (513 Message too long, rejected)"},
    // The 10th page's ACK comes with the session's end: taken once, the rest on the next call.
    {"10 páginas por ligação, grupo de 25", "aqui", QStringList{"--limite-da-sessao=10:desliga"},
     QStringList{"--grupo", "Reserva", "oi"}, 0, 3,
     Lista(25, [](int k) { return QStringLiteral("%1:oi").arg(7003 + k); }),
     Lista(25, [](int k) { return QStringLiteral("%1:%2:Membro %2").arg(7003 + k).arg(k + 3); }),
     "25 página(s)"},
    {"ocupado sempre", "aqui", QStringList{"--discagem=ocupado"},
     QStringList{"--tentativas", "2", "--intervalo", "0", "--grupo", "Plantão", "oi"}, 2, 2, kNenhum, kNenhum,
     "linha ocupada"},
    {"pager fora do cadastro", "aqui", kNenhum,
     QStringList{"--pager", "9999", "--nome", "Vigia", "--", "-x-"}, 0, 1, QStringList{"9999:-x-"},
     QStringList{"9999:0:" + QStringLiteral("Vigia").leftJustified(50)}, ""},
    {"grupo pela entrada padrão, por TCP, um código recusado", "processo",
     QStringList{"--tcp=0", "--recusar=2222"}, QStringList{"--silencioso", "--grupo", "PLANTÃO", "-"}, 1, 0,
     QStringList{"1111:Disco cheio em /var", "2222:Disco cheio em /var", "3333:Disco cheio em /var"},
     QStringList{"1111:1:Ana Souza", "2222:2:Beatriz", "3333:3:Carlos"}, "1 com código recusado"},
    {"linha direta com senha, grupo, um código recusado", "aqui",
     QStringList{"--linha-direta", "--senha=s3nha", "--recusar=2222"},
     QStringList{"--grupo", "Plantão", "oi"}, 1, 0, QStringList{"1111:oi", "2222:oi", "3333:oi"},
     QStringList{"1111:1:Ana Souza", "2222:2:Beatriz", "3333:3:Carlos"},
     "Beatriz (pager 2222): recusada pela central"},
    // A second ACK to the log-on lands after the page went out when nothing waits for the go-ahead.
    {"ACK duplo no log-on, página sem resposta", "aqui", QStringList{"--logon=ack-duplo"}, kAnaOi, 2, 1,
     QStringList{"1111:oi"}, kNenhum, "bipvox-enviar: Erro: Time Out"},
    // A terminal that floods the line ends the call at once (the modem's rows are tst_Envio's).
    {"TCP, central inunda a página", "aqui", QStringList{"--tcp=0", "--inundar=pagina"}, kAnaOi, 2, 0,
     QStringList{"1111:oi"}, kNenhum, "a central enviou dados demais"},
    // What the terminal said before closing is read and acted on; a close with nothing said is
    // named as such at once.
    {"TCP, central fecha na página", "aqui", QStringList{"--tcp=0", "--fechar-na-pagina=1"}, kAnaOi, 2, 0,
     QStringList{"1111:oi"}, kNenhum, "Erro: A central encerrou a conexão"},
    {"TCP, ACK e a central fecha", "aqui", QStringList{"--tcp=0", "--fechar-apos-pagina=1"}, kAnaOi, 0, 0,
     QStringList{"1111:oi"}, QStringList{"1111:1:" + kAna}, "Mensagem enviada"},
    // Pages that went out without their history rows: a status of their own.
    {"histórico recusa a linha", "historico cheio", kNenhum, kAnaOi, 5, 1, QStringList{"1111:oi"}, kNenhum,
     "não puderam ser registradas no histórico"},
    {"TCP com senha", "aqui", QStringList{"--tcp=0", "--senha=s3nha"}, kAnaOi, 0, 0, QStringList{"1111:oi"},
     QStringList{"1111:1:" + kAna}, "Mensagem enviada"},
    {"TCP, endereço recusado", "recusado", QStringList{"--tcp=0"}, kAnaOi, 2, 0, kNenhum, kNenhum,
     "conexão recusada"},
    {"nome desconhecido", "processo", kNenhum, QStringList{"--usuario", "Zé", "oi"}, 3, 0, kNenhum, kNenhum,
     "se chama \"Zé\""},
    {"porta ausente", "porta ausente", kNenhum, kAnaOi, 4, 0, kNenhum, kNenhum,
     "não foi possível abrir a porta"},
    {"porta em uso, espera 1 s", "porta travada", kNenhum, QStringList{"--esperar=1"} + kAnaOi, 4, 0, kNenhum,
     kNenhum, "). Esperou 1 s."},
    {"morto no meio de um grupo de 30", "morto", QStringList{"--ritmo"},
     QStringList{"--grupo", "Brigada", "oi"}, 0, 1, kNenhum, kNenhum, ""},
    // SIGTERM instead: the page on the line is finished and recorded, then the log-off, the
    // hang-up, the port closed (not left exclusive) and the lock released, with its own status.
    {"SIGTERM no meio de um grupo de 30", "terminado", QStringList{"--ritmo"},
     QStringList{"--grupo", "Brigada", "oi"}, 130, 1, kNenhum, kNenhum, "Não receberam: Membro"},
};
} // namespace

class tst_EnviarPelaLinhaDeComando : public QObject {
    Q_OBJECT

private slots:
    void envia_data() { Linhas(kLinhas); }

    void envia() {
        const Linha& l = LinhaAtual(kLinhas);
        AmbienteDeTeste ambiente(true);
        QVERIFY(CadastraGrupo("Plantão",
                              {CadastraUsuario("Ana Souza", "1111"), CadastraUsuario("Beatriz", "2222"),
                               CadastraUsuario("Carlos", "3333")}) > 0);

        QVector<qint32> brigada{1, 2, 3};
        const bool interrompido = l.como == QLatin1String("morto") || l.como == QLatin1String("terminado");
        for (int n = 4; n <= (interrompido ? 30 : 28); ++n)
            brigada << CadastraUsuario(QStringLiteral("Membro %1").arg(n), QString::number(7000 + n));
        QVERIFY(CadastraGrupo("Brigada", brigada) > 0 && CadastraGrupo("Reserva", brigada.mid(3)) > 0);
        SimuladorExterno simulador;
        QString erro;
        QStringList opcoes{"--silencioso", "--atraso-discagem=0.1", "--guarda-escape=0.05"};
        for (const QString& opcao : l.cenario) {
            if (opcao.startsWith(QLatin1String("ini:")))
                GravaINI(SecaoConexao, opcao.mid(4).section('=', 0, 0), opcao.section('=', 1));
            else
                opcoes << opcao;
            if (opcao == QLatin1String("--linha-direta"))
                GravaINI(SecaoConexao, QStringLiteral("Tipo"), QStringLiteral("Direta"));
            if (opcao.startsWith(QLatin1String("--senha=")))
                GravaINI(SecaoConexao, QStringLiteral("Senha"), opcao.mid(8));
        }
        QVERIFY2(simulador.Inicia(opcoes, &erro), qPrintable(erro));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("1"));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), simulador.Dispositivo());
        if (l.cenario.contains(QStringLiteral("--tcp=0"))) {
            const QStringList endereco = simulador.Dispositivo().split(QLatin1Char(':'));
            GravaINI(SecaoConexao, QStringLiteral("Tipo"), QStringLiteral("TCP"));
            GravaINI(SecaoConexao, QStringLiteral("Endereço"), endereco.value(0));
            GravaINI(SecaoConexao, QStringLiteral("Porta TCP"), endereco.value(1));
        }
        // Nobody listens on port 1.
        if (l.como == QLatin1String("recusado"))
            GravaINI(SecaoConexao, QStringLiteral("Porta TCP"), QStringLiteral("1"));
        if (l.como == QLatin1String("porta ausente"))
            GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"),
                     QStringLiteral("/dev/bipvox-nao-existe"));
        TravaDaPorta trava;
        if (l.como == QLatin1String("porta travada"))
            QVERIFY(trava.Obtem(simulador.Dispositivo()));

        // On a server, the store of the settings' [BANCO], as a desk's.
        const QStringList banco =
            TesteNoPostgreSQL() ? QStringList() : QStringList{"--banco", ambiente.Diretorio() + "/Pager.Mdb"};
        QString erros;
        int status = -1;
        if (interrompido) {
            FechaBancoDeDados();
            QProcess enviar;
            enviar.start(QCoreApplication::applicationFilePath(),
                         QStringList{kEnviaAqui} + banco + l.argumentos);
            QVERIFY(enviar.waitForStarted());
            QDeadlineTimer prazo(30000);
            while (simulador.Paginas().size() < 12 && !prazo.hasExpired() &&
                   enviar.state() == QProcess::Running)
                QTest::qWait(2);
            QVERIFY2(enviar.state() == QProcess::Running, "the send ended before the kill");
            const bool terminado = l.como == QLatin1String("terminado");
            ::kill(pid_t(enviar.processId()), terminado ? SIGTERM : SIGKILL);
            QVERIFY(enviar.waitForFinished(20000));
            const QString escrito = QString::fromUtf8(enviar.readAllStandardError());
            if (terminado) {
                QCOMPARE(enviar.exitStatus(), QProcess::NormalExit);
                QCOMPARE(enviar.exitCode(), l.saida);
                QVERIFY2(escrito.contains(l.escrito), qPrintable(escrito));
                QVERIFY(simulador.Dados(QStringLiteral("recebido")).endsWith("\x04\r+++ATH0\r"));
                // The next program, of any user, can open the line and take the lock.
                const int linha =
                    ::open(QFile::encodeName(simulador.Dispositivo()).constData(), O_RDWR | O_NOCTTY);
                int exclusiva = -1;
                QVERIFY(linha >= 0 && ::ioctl(linha, TIOCGEXCL, &exclusiva) == 0);
                ::close(linha);
                QCOMPARE(exclusiva, 0);
                TravaDaPorta livre;
                QVERIFY2(livre.Obtem(simulador.Dispositivo()), qPrintable(livre.Motivo()));
            }
            simulador.Para();
            QStringList aceitas;
            for (const QJsonObject& p : simulador.Paginas())
                if (p.value("veredito").toString() == QLatin1String("aceita"))
                    aceitas << p.value("codigo").toString();
            QVERIFY(aceitas.size() >= 12 && aceitas.size() < 30);
            QVERIFY2(ambiente.AbreBancoVazio(), "refused after the kill");
            if (!TesteNoPostgreSQL()) {
                Snapshot integridade(QStringLiteral("PRAGMA integrity_check"));
                QCOMPARE(integridade.Campo(QStringLiteral("integrity_check")).toString(),
                         QStringLiteral("ok"));
            }
            // A page whose successor reached the terminal was recorded before that block left; only
            // the last accepted page may have been taken with its row not yet written.
            const QStringList log = Coluna("Select ID_Pager As L From Log Order By rowid");
            QVERIFY2(log == aceitas || (!terminado && log == aceitas.mid(0, aceitas.size() - 1)),
                     qPrintable(log.join(',')));
            return;
        }
        std::optional<FalhaPlantada> cheio;
        if (l.como == QLatin1String("historico cheio"))
            QVERIFY(cheio.emplace("Before Insert On Log", "disk full").Plantada());
        if (l.como == QLatin1String("aqui") || l.como == QLatin1String("porta ausente") ||
            l.como == QLatin1String("historico cheio") || l.como == QLatin1String("recusado")) {
            status = EnviaNestePrograma(banco + l.argumentos, erros);
            QVERIFY(ambiente.AbreBancoVazio());
        } else {
            QProcess enviar;
            enviar.start(qEnvironmentVariable("BIPVOX_ENVIAR"), banco + l.argumentos);
            QVERIFY(enviar.waitForStarted());
            enviar.write("Disco cheio em /var\n");
            enviar.closeWriteChannel();
            QVERIFY(enviar.waitForFinished(60000));
            erros = QString::fromUtf8(enviar.readAllStandardError());
            status = enviar.exitCode();
        }
        QVERIFY2(erros.contains(l.escrito), qPrintable(erros));
        // The holder named is the live one: this test program.
        if (l.como == QLatin1String("porta travada"))
            QVERIFY2(erros.contains(QStringLiteral("processo %1)").arg(QCoreApplication::applicationPid())),
                     qPrintable(erros));
        QCOMPARE(status, l.saida);

        QList<double> discagens;
        for (const QJsonObject& r : simulador.Registros())
            if (r.value("texto").toString().contains(QRegularExpression("^chamada \\d+: discando")))
                discagens << r.value("t").toDouble();
        QCOMPARE(discagens.size(), l.discagens);
        for (int k = 1; k < discagens.size(); ++k)
            QVERIFY2(discagens[k] - discagens[k - 1] >= l.espera,
                     qPrintable(QString::number(discagens[k] - discagens[k - 1])));
        // The modem is reset first; no modem command ever goes down a cable or a network connection,
        // and nothing at all when no send could start.
        const QByteArray recebido = simulador.Dados(QStringLiteral("recebido"));
        QCOMPARE(recebido.startsWith("ATZ\r"), l.discagens > 0);
        QCOMPARE(recebido.contains("AT"), l.discagens > 0);
        // Only 7-bit bytes, and no bare line break: no row sends one as it is.
        QVERIFY(std::none_of(recebido.begin(), recebido.end(), [](char c) { return c < 0 || c == '\n'; }));
        if (l.paginas.isEmpty() && l.discagens == 0)
            QVERIFY(recebido.isEmpty());
        // Each history row holds the text the terminal took.
        QStringList naLinha, tomadas;
        for (const QJsonObject& p : simulador.Paginas()) {
            naLinha << p.value("codigo").toString() + ':' + p.value("mensagem").toString();
            if (p.value("veredito").toString().contains(QRegularExpression("^(aceita|recusada)$")))
                tomadas << p.value("mensagem").toString();
        }
        QCOMPARE(naLinha, l.paginas);
        QCOMPARE(
            Coluna("Select ID_Pager || ':' || ID_Usuario || ':' || Usuario As L From Log Order By rowid"),
            l.log);
        QCOMPARE(Coluna("Select Distinct Origem As L From Log"),
                 l.log.isEmpty() ? QStringList() : QStringList{"linha de comando"});
        if (!l.log.isEmpty())
            QCOMPARE(Coluna("Select Mensagem As L From Log Order By rowid"), tomadas);
    }

    // A user's page; then the device vanishes and comes back.
    void envioPelaJanela() {
        AmbienteDeTeste ambiente(true);
        RelogioAcelerado relogio(5);
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        PedidoDeTeste pedido;
        PainelDeTeste painel;
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana O'Neil"), QStringLiteral("1111"));
        Modulo::PortaModem = 1;
        Modulo::EnvioIniciado = false;
        const QString link = ambiente.Diretorio() + QStringLiteral("/modem");
        const QStringList opcoes{"--silencioso", "--atraso-discagem=0.1", "--guarda-escape=0.1",
                                 "--link=" + link};
        SimuladorExterno simulador;
        QString erro;
        QVERIFY2(simulador.Inicia(opcoes, &erro), qPrintable(erro));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), link);
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("Configurações"), QStringLiteral("9600,n,8,1"));
        QVERIFY2(ConfiguraPorta(ctx), qPrintable(porta.UltimoErro()));
        // A trailing blank is trimmed from the page but kept in the history; letters go plain.
        pedido.texto = QStringLiteral("Reunião às 15h \"urgente\" ");
        InicializaModem(ctx); // the start-up's reset
        IniciaProcesso(ctx, pedido, painel);

        QCOMPARE(operador.TextosDasCaixas(), QStringList());
        QStringList recebidas;
        for (const QJsonObject& p : simulador.Paginas()) {
            QCOMPARE(p["mensagem"].toString(), QStringLiteral("Reuniao as 15h \"urgente\""));
            QVERIFY(p["somaConfere"].toBool());
            recebidas << p["codigo"].toString();
        }
        QCOMPARE(recebidas, QStringList{"1111"});
        QCOMPARE(Coluna("Select ID_Pager || ' ' || Mensagem As L From Log"),
                 QStringList{"1111 Reuniao as 15h \"urgente\" "});
        QVERIFY(pedido.texto.isEmpty() && painel.valores.isEmpty());
        // The call is dropped after the log-off, and the port let go: another program can take it.
        const QByteArray linha = simulador.Dados(QStringLiteral("recebido"));
        QVERIFY2(linha.contains("\r\x1bPG1\r") && linha.endsWith("\x04\r+++ATH0\r"),
                 linha.toHex().constData());
        QCOMPARE(operador.StatusAtual(), QStringLiteral(" Re-inicializando o modem, aguarde ..."));
        QVERIFY(!porta.PortOpen());
        TravaDaPorta outroPrograma;
        QVERIFY(outroPrograma.Obtem(link));
        QVERIFY(simulador.Rodando());

        // The device goes and comes back under the same name while another program holds it: the
        // next send waits for the port, saying who has it, and goes through once it is free.
        simulador.Para();
        SimuladorExterno segundo;
        QVERIFY(segundo.Inicia(opcoes));
        // The lock names the device the link resolves to, which other tests' terminals may have
        // taken meanwhile: the other program takes the one that is there now.
        outroPrograma.Libera();
        QVERIFY(outroPrograma.Obtem(link));
        Modulo::EnvioIniciado = false;
        pedido.texto = QStringLiteral("De novo"); // the first send emptied the message
        QTimer::singleShot(1500, [&outroPrograma] { outroPrograma.Libera(); });
        IniciaProcesso(ctx, pedido, painel);
        QCOMPARE(segundo.Paginas().size(), 1);
        QVERIFY2(operador.caixas.isEmpty(), qPrintable(operador.TextosDasCaixas().join('|')));
        QVERIFY(!painel.titulos.filter(QRegularExpression("^Aguardando o modem, em uso por .*processo "))
                     .isEmpty());
        QVERIFY(!porta.PortOpen());
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    QString escrito;
    if (argc > 1 && QString::fromLocal8Bit(argv[1]) == kEnviaAqui) {
        Interrupcao::Instala();
        const int saida = EnviaNestePrograma(QCoreApplication::arguments().mid(2), escrito);
        std::fputs(escrito.toUtf8().constData(), stderr);
        return saida;
    }
    tst_EnviarPelaLinhaDeComando teste;
    return QTest::qExec(&teste, argc, argv);
}
#include "tst_EnviarPelaLinhaDeComando.moc"
