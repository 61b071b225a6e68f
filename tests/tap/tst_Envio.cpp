// Sending in virtual time over a dial-up modem, a direct serial line and a TCP connection:
// framing, log-on, the bytes on the line, the terminal's answers, what the operator reads, the
// history rows, and what a send does when the terminal, the line, the port or the history fails.
// And the send-progress window: stage texts and gauge while a send runs, one send per opening,
// no way to close it mid-send.
#include "BancadaVirtual.h"
#include "BlocoTAP.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "TabelaDeTeste.h"
#include "common/Interrupcao.h"
#include "common/Modulo.h"
#include "common/Win1252.h"
#include "modem/Desligamento.h"
#include "modem/Enlace.h"
#include "modem/RespostaDaLinha.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"
#include "tap/FuncoesTAP.h"
#include "tap/LogOn.h"
#include "tap/frmShowDoEnvio.h"
#include "ui/frmMensagem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
const QString kVerificando = QStringLiteral(" Verificando compatibilidade do sistema, aguarde ...");
const QString kAguardando =
    QStringLiteral(" Aguardando a autorização para enviar mensagens, aguarde ...    ");
const QString kPronto = QStringLiteral(" Pronto");
const QString kEnviando = QStringLiteral(" Enviando mensagem, aguade ...");
const QString kTempo = QStringLiteral("Erro: Time Out - Aguardando confirmação do dígito verificador ...");
const QString kLogOn = QStringLiteral("\x1bPG1\r|110 1.8\r\x06\r\x1b[p\r|0.3");
// The reason stays on the status line after the link goes down.
const QString kPedidoDeDesconexao = QStringLiteral(" Desconexão solicitada pelo servidor.");
const QString kDiscando = QStringLiteral(" Discando para a empresa de rádio chamadas, aguarde ...");
const QString kDireta = QStringLiteral(" Conectando à central pela linha direta, aguarde ...");
const QString kTCP = QStringLiteral(" Conectando à central em 127.0.0.1:5000, aguarde ...");
const QString kRenova = QStringLiteral(" Re-inicializando o modem, aguarde ...");
const QString kSemSenha =
    QStringLiteral("A central recusou a entrada sem senha: ela deve exigir uma senha de "
                   "acesso. Informe a senha em Opções Avançadas (área Conexão) ou na "
                   "chave Senha da seção [CONEXÃO] do Bipvoxcf.INI. Nenhuma mensagem foi "
                   "enviada.");
const QString kRecusada = QStringLiteral("A central recusou a senha de acesso. Confira a senha em Opções "
                                         "Avançadas e tente novamente. Nenhuma mensagem foi enviada.");
const QString kGenerica = QStringLiteral("Erro na tentativa de efetuar o LogIn. Tente novamente.");
const QByteArray kLogOff("\x04\r+++ATH0\r");
const QStringList kNada;
const QString kDesliga = QStringLiteral(" Desconectando modem, aguarde ...");
// More than any answer may hold, in one read.
const QString kJorro(20000, 'z');
using L = QStringList;

// CR prompts a second apart until "ID=", a closing second, ESC PG1, 0.02 s, the ACK, 0.01 s.
struct LogOnLinha {
    const char* nome;
    QStringList regras;
    bool aceito;
    int prompts;
    double tempo;
};
const LogOnLinha kLogOns[] = {
    {"ID= no segundo prompt", {"@1.5|ID=", kLogOn}, true, 2, 3.31},
    {"ID= em duas leituras", {"@0.5|\r\nI", "@4.2|D=", kLogOn}, true, 5, 6.31},
    {"ID= aos 12.5 s", {"@12.5|ID=", kLogOn}, true, 13, 14.31},
    {"ID= aos 14.5 s: tarde", {"@14.5|ID=", kLogOn}, false, 15, 16.0},
    {"id= minúsculo", {"@0.5|id=", kLogOn}, false, 16, 17.0},
    // With no go-ahead (ESC "[p" CR) the page waits 3 s for it; everything before it is dropped.
    {"ACK aos 4.9 s, sem sinal verde", {"@0.5|ID=", "\x1bPG1\r|\x06|4.92"}, true, 1, 9.94},
    {"sinal verde 1 s depois do ACK", {"@0.5|ID=", "\x1bPG1\r|\x06\r|0.3", "@3.3|\x1b[p\r"}, true, 1, 3.31},
    {"ACK aos 5.5 s", {"@0.5|ID=", "\x1bPG1\r|\x06|5.5"}, false, 1, 7.03},
    {"NAK", {"@0.5|ID=", "\x1bPG1\r|\x15\r|0.3"}, false, 1, 7.03},
    // Only an ACK after the log-on request accepts it.
    {"ACK junto com o ID=", {"@0.5|ID=\x06"}, false, 1, 7.03},
    {"ACK antes do pedido", {"@0.5|ID=", "@1.8|\x06\r"}, false, 1, 7.03},
};

// One user's page over a link, as the terminal answers it: the bytes on the line, the boxes, the
// status line (the whole sequence, or its first and last texts when two are given), the closing
// title and the history row.
struct UmUsuario {
    const char* nome;
    QString tipo;
    QStringList regras; // before the fixture's, so they take precedence
    int blocos;
    bool enviado;
    QString caixa = {}; // empty: none
    QStringList status = {};
    QString senha = {};
    int tamanho = 0;     // of the message; 0: the fixture's
    QString titulo = {}; // the closing one; empty: the link's
};
const UmUsuario kUsuarios[] = {
    {"modem", "Modem", kNada, 1, true, "",
     L{kDiscando, kVerificando, kAguardando, kPronto, kEnviando, " Mensagem enviada com sucesso.", kDesliga,
       kPronto, kRenova}},
    // The terminal drops the call at the log-off: "+++" goes at once, with no guard time.
    {"modem, terminal desliga", "Modem", L{"\x04\r|\r\x1b\x04\r\r\nNO CARRIER\r\n|0.01"}, 1, true},
    {"modem, ocupado", "Modem", L{"ATD|\r\nBUSY\r\n|2"}, 0, false,
     "O telefone chamado está com sinal de linha ocupada, tente novamente.", L{kDiscando, kDesliga, kPronto}},
    {"modem, desconexão", "Modem", L{"\x02|\x1b\x04\r|0.5"}, 1, false, "", L{kDiscando, kPedidoDeDesconexao}},
    {"'tcp' minúsculo é modem", "tcp", kNada, 1, true, "", L{kDiscando, kRenova}},
    // The page's ACK and its CR in two reads.
    {"ACK e CR em duas leituras", "Modem", L{"\x02|\x06|0.5", "@7|\r"}, 1, true},
    {"três NAKs", "Modem", L{"\x02|\x15\r|0.5"}, 3, false, "",
     L{kDiscando, " A central não aceitou a mensagem: três tentativas recusadas (NAK)."}},
    {"ACK aos 5.5 s", "Modem", L{"\x02|\x06\r|5.5"}, 1, false, kTempo},
    {"código recusado", "Modem", L{"\x02|\r\x1e\r\x06\r|0.5"}, 1, true,
     "Código do Pager de usuário Inválido.\r\r"},
    {"código recusado, com o motivo", "Modem", L{"\x02|511 Invalid pager ID\r\r\x1e\r|0.5"}, 1, true,
     "Código do Pager de usuário Inválido.\r\rMotivo dado pela central: código do pager não cadastrado na "
     "central (511 Invalid pager ID).\r"},
    // A NAK and then the session's end: the page was never taken.
    {"NAK e ESC EOT numa leitura", "Modem", L{"\x02|\x15\r\x1b\x04\r|0.5"}, 1, false, "",
     L{kDiscando, kPedidoDeDesconexao}},
    {"212: cortada e enviada", "Modem", L{"\x02|212 Message truncated\r\x06\r|0.5"}, 1, true,
     "A central avisou: a mensagem longa foi cortada e enviada (212 Message truncated)."},
    {"241 caracteres", "Modem", kNada, 0, false, "Erro na criptografação da mensagem...", kNada, "", 241,
     "Retornando ..."},
    {"direta", "Direta", kNada, 1, true, "", L{kDireta, kPronto}},
    // No line to drop: the log-off ends the session the terminal still holds.
    {"direta, desconexão", "Direta", L{"\x02|\x1b\x04\r|0.5"}, 1, false, "", L{kDireta, kPedidoDeDesconexao}},
    {"TCP", "TCP", kNada, 1, true, "", L{kTCP, kPronto}},
    {"TCP, desconexão", "TCP", L{"\x02|\x1b\x04\r|0.5"}, 1, false, "", L{kTCP, kPedidoDeDesconexao}},
    // A flood ends the call at once, before "ID=", at the log-on, at the page or while dialling.
    {"inundação antes do ID=", "Modem", L{"@3.5|" + kJorro}, 0, false, MensagemDadosDemais},
    {"inundação no log-on", "Direta", L{"\x1bPG1|" + kJorro + "|0.3"}, 0, false, MensagemDadosDemais},
    {"inundação na página", "TCP", L{"\x02|" + kJorro + "|0.5"}, 1, false, MensagemDadosDemais},
    {"modem inunda a discagem", "Modem", L{"ATD|" + kJorro + "|1"}, 0, false,
     "o modem enviou dados demais durante a discagem (mais de 16 KB sem uma resposta conhecida) e a "
     "discagem foi abandonada."},
    // The refusal is told apart only when a password went out; nothing is sent or logged.
    {"senha em Windows-1252", "Direta", kNada, 1, true, "", kNada, "sç"},
    {"NAK à senha", "Direta", L{"\x1bPG1|\x15\r|0.3"}, 0, false, kRecusada, kNada, "x"},
    {"silêncio à senha", "Direta", L{"\x1bPG1||0"}, 0, false, kGenerica, kNada, "x"},
    {"NAK sem senha", "Direta", L{"\x1bPG1|\x15\r|0.3"}, 0, false, kSemSenha},
};

// A group of 20 whose 8th page meets a fault.
struct FalhaNoOitavo {
    const char* nome;
    QByteArray falha;
    int linhasNoLog;
    QString resumo;
};
const FalhaNoOitavo kFalhas[] = {
    {"pedido de desconexão", "\x1b\x04\r", 7, "interrompido: 7 de 20 membros"},
    {"tempo esgotado", "", 7, "interrompido: 7 de 20 membros"},
    {"porta perdida", "perda", 7, "interrompido: 7 de 20 membros"},
    {"histórico recusa", "log", 19, "não puderam ser registradas"},
    {"NAK e reenvio", "\x15\r", 20, QString()},
    // A session limit answered with the 8th page's ACK (or RS) and ESC EOT at once: the page is
    // judged once and the rest go on a new call.
    {"ACK e ESC EOT juntos", "\x06\r\x1b\x04\r", 20, QString()},
    // ... or the ESC EOT read apart, while the history row is written.
    {"ACK, depois ESC EOT", "\x06\r|\x1b\x04\r", 20, QString()},
    {"RS e ESC EOT juntos", "511 Invalid pager ID\r\r\x1e\r\x1b\x04\r", 20, QString()},
    // A termination signal as the 8th page goes out: that page is finished and recorded, the
    // session logged off and hung up; a second one ends at once, with nothing more on the line.
    {"sinal de término", "sinal", 8, "interrompido: 8 de 20 membros"},
    {"dois sinais", "sinais", 7, "interrompido: 7 de 20 membros"},
};

// The text as the terminal gets it and the history keeps it, page by page.
struct TextoNaLinha {
    const char* nome;
    QString chaves; // "key=value;..." of CONEXÃO, or of MODEM for "Configurações"
    QString texto;
    QStringList registrados; // the Log rows' messages, in order
    QString caixa;           // a piece of the one box shown; empty: none
    QByteArray campo;        // the first page's field on the line, when it differs from its row
};
const QString kPalavras = QStringLiteral("abcd ").repeated(99) + QStringLiteral("abcde");
QStringList PaginasDe80() {
    QStringList paginas;
    for (int k = 1; k <= 7; ++k)
        paginas << QStringLiteral("(%1/7) ").arg(k) + kPalavras.mid((k - 1) * 75, k < 7 ? 74 : 75);
    return paginas;
}
const QString k8Bits = QStringLiteral("Configurações=9600,n,8,1;");
const QString kDividir = QStringLiteral(";Texto Longo=Dividir");
const TextoNaLinha kTextos[] = {
    {"7 bits: letras fora da tabela",
     "Texto=Windows-1252",
     "áÇñ ôÂÊÔÀÜ ‘a’ “b” – — … ºª €",
     {"aCn oAEOAU 'a' \"b\" - - ... oa EUR"}},
    {"8 bits, Windows-1252 como está", k8Bits + "Texto=Windows-1252", "Ônibus “já” € ō", {"Ônibus “já” € o"}},
    {"8 bits, forma simples", k8Bits, "Ônibus “já”", {"Onibus \"ja\""}},
    {"500 caracteres em páginas de 80", "Tamanho da Página=80" + kDividir, kPalavras, PaginasDe80()},
    {"palavra maior que a página",
     "Tamanho da Página=20" + kDividir,
     QString(25, 'x'),
     {"(1/2) " + QString(14, 'x'), "(2/2) " + QString(11, 'x')}},
    {"240 caracteres", "", QString(240, 'x'), {QString(240, 'x')}},
    {"maior que a página", "Tamanho da Página=80", QString(81, 'x'), {}, "criptografação"},
    {"valores fora do lugar",
     "Tamanho da Página=10;Texto Longo=dividir",
     QString(241, 'x'),
     {},
     "criptografação"},
    {"Enter como LF (README)", "Controles=x", "Ligar\namanhã", {"Ligar\namanha"}},
    {"controles do bloco em branco", "", "a\003b", {"a\003b"}, {}, "a b"},
    {"escape TAP 1.8", "Controles=Escape", "a\nb", {"a\nb"}, {}, "a\x1aJb"},
    {"controles em branco", "Controles=Branco", "a\nb", {"a\nb"}, {}, "a b"},
    {"sem forma: nada discado",
     k8Bits + "Texto=Windows-1252",
     "ok ✓ 😀 ✓ ô",
     {},
     "central: \"✓\", \"😀\"; apague"},
};

struct Cena : BancadaVirtual {
    PedidoDeTeste pedido;
    PainelDeTeste painel;
    Cena() : BancadaVirtual(true) {
        pedido.texto = QStringLiteral("  Ligar para a base  ");
        Modulo::EnvioIniciado = false;
    }
    // A whole send to José over the given link, the modem and terminal answering it.
    void Conexao(const QString& tipo) {
        GravaINI(SecaoConexao, QStringLiteral("Tipo"), tipo);
        modem.CentralQueAceita();
        Modulo::CodigosDaLista[1] =
            CadastraUsuario(QStringLiteral("José D'Ávila"), QStringLiteral("1234567890"));
    }
    // Over TCP the scripted modem stands in for the network connection, which opening connects.
    void Envia() {
        std::unique_ptr<Enlace> enlace = CriaEnlace(ctx);
        if (LeTipoDeConexao() == TipoDeConexao::TCP) {
            enlace = std::make_unique<EnlaceTCP>(modem, QStringLiteral("127.0.0.1:5000"));
            modem.setPortOpen(false);
        }
        IniciaProcesso(ctx, *enlace, pedido, painel);
    }
    QStringList Log(const QString& campo = QStringLiteral("Usuario")) const {
        return Coluna("Select Trim(" + campo + ") As L From Log Order By rowid");
    }
};

// Shows real message boxes and presses OK; the window below is then activated again, as a
// window manager does (the offscreen platform does not).
class OperadorComCaixas : public OperadorGravado {
public:
    Resposta Mensagem(const QString& texto, const QString& titulo, Icone icone, Botoes botoes) override {
        OperadorGravado::Mensagem(texto, titulo, icone, botoes);
        QTimer::singleShot(0, [] {
            if (auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                caixa->button(QMessageBox::Ok)->click();
        });
        QWidget* janela = QApplication::activeModalWidget();
        const Resposta resposta = MostraMensagem(janela, texto, titulo, icone, botoes);
        if (janela)
            janela->activateWindow();
        return resposta;
    }
};

// What a widget showed each time it was painted.
struct Pinturas : QObject {
    std::function<QString()> mostra;
    QStringList vistas;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            vistas << mostra();
        return false;
    }
};
} // namespace

class tst_Envio : public QObject {
    Q_OBJECT
private slots:
    // The block maker's own limit, behind the text's.
    void blocoTAP() {
        QString bloco;
        QVERIFY(!MontaBlocoTAP("7", QString(241, 'a'), bloco));
    }

    void logOn_data() { Linhas(kLogOns); }
    void logOn() {
        const LogOnLinha& l = LinhaAtual(kLogOns);
        BancadaVirtual b;
        b.Roteiro(l.regras);
        QCOMPARE(AguardaIDeInicializaModoAutomatico(b.ctx), l.aceito);
        const bool pediu = b.modem.linha.contains("\x1b");
        QCOMPARE(b.modem.linha, QByteArray(l.prompts, '\r') + (pediu ? "\x1bPG1\r" : ""));
        QVERIFY2(qAbs(b.Decorrido() - l.tempo) < 1e-6, qPrintable(QString::number(b.Decorrido())));
        const QStringList status =
            pediu ? QStringList{kVerificando, kAguardando, kPronto} : QStringList{kVerificando, kPronto};
        QCOMPARE(b.operador.status, status);
    }

    void umUsuario_data() { Linhas(kUsuarios); }
    void umUsuario() {
        const UmUsuario& u = LinhaAtual(kUsuarios);
        Cena c;
        GravaINI(SecaoConexao, QStringLiteral("Senha"), u.senha);
        c.Roteiro(u.regras);
        c.Conexao(u.tipo);
        if (u.tamanho)
            c.pedido.texto = QString(u.tamanho, 'x');
        // The page is recorded at midnight, with one reading of the clock.
        int leituras = 0;
        c.relogio.dataHora = [&leituras] {
            const QDateTime meiaNoite(QDate(2026, 12, 6), QTime(0, 0));
            return ++leituras == 1 ? meiaNoite.addMSecs(-100) : meiaNoite;
        };
        c.Envia();

        const QByteArray& linha = c.modem.linha;
        const bool modem = u.tipo != QLatin1String("Direta") && u.tipo != QLatin1String("TCP");
        const QByteArray discagem = modem ? "ATE0\rATDP 3311-2400\r" : "";
        // A modem's call ends logged off and hung up after a send, escaped otherwise; a direct line
        // always with the log-off; a failed TCP connection just closes.
        const QByteArray fim = modem ? (u.enviado ? kLogOff : "+++ATH0\r")
                               : u.tipo == QLatin1String("Direta") || u.enviado
                                   ? "\x04\r"
                                   : BlocoTAP("1234567890", "Ligar para a base");
        QVERIFY2(linha.startsWith(discagem) && linha.endsWith(fim), linha.toHex().constData());
        // The log-on after the first prompt, with the password, once.
        if (linha.contains("\x1bPG1"))
            QVERIFY(linha.startsWith(discagem + "\r\x1bPG1" + ParaWin1252(u.senha) + "\r"));
        QVERIFY(c.modem.Contagem("\x1bPG1") <= 1 && Modulo::EnvioIniciado);
        QCOMPARE(c.modem.Contagem("\x02"), u.blocos);
        if (u.blocos)
            QVERIFY(linha.contains(BlocoTAP("1234567890", "Ligar para a base")));
        QCOMPARE(c.operador.TextosDasCaixas(), u.caixa.isEmpty() ? QStringList() : QStringList{u.caixa});
        const QStringList& lidos = c.operador.status;
        if (!u.status.isEmpty())
            QCOMPARE(u.status.size() == 2 ? QStringList({lidos.first(), lidos.last()}) : lidos, u.status);
        const QString titulo = modem                            ? "Desconectando Modem ..."
                               : u.tipo == QLatin1String("TCP") ? "Desconectando ..."
                                                                : "Encerrando a sessão ...";
        QVERIFY(c.painel.titulos.contains(u.titulo.isEmpty() ? titulo : u.titulo));
        // Only a modem's call is logged off and hung up, and its port opened again, after a send;
        // the port is let go at the end, whatever happened.
        if (modem) {
            QCOMPARE(linha.contains("\x04\r+++"), u.enviado);
            QCOMPARE(c.modem.fechamentos, 1 + int(u.enviado));
        }
        QVERIFY(!c.modem.PortOpen());
        QCOMPARE(c.pedido.esvaziamentos, int(u.enviado));
        QCOMPARE(c.Log(), u.enviado ? QStringList{"José D'Ávila"} : QStringList());
        if (!u.enviado)
            return;
        Snapshot log("Select Usuario || '|' || Mensagem || '|' || ID_Pager || '|' || ID_Usuario || '|' || "
                     "Data || Hora || '|' || Situacao As L From Log");
        QCOMPARE(log.Campo("L").toString(),
                 QStringLiteral("José D'Ávila").leftJustified(50) + "|  Ligar para a base  |1234567890|" +
                     QString::number(Modulo::CodigosDaLista[1]) + "|2026120523:59|" +
                     (u.caixa.startsWith("Código") ? "recusada" : "entregue"));
        // After the log-off "+++" goes at once when the terminal dropped the call, after the
        // modem's guard time when it kept it.
        const auto eot = std::find_if(c.modem.escritas.begin(), c.modem.escritas.end(),
                                      [](const auto& w) { return w.bytes == "\x04\r"; });
        const double guarda = u.regras.value(0).contains("NO CARRIER") ? 0.05 : 0.05 + GuardaDoModem;
        if (modem)
            QVERIFY(qAbs((eot + 1)->instante - eot->instante - guarda) < 0.07);
    }

    void textoNaLinha_data() { Linhas(kTextos); }
    void textoNaLinha() {
        const TextoNaLinha& t = LinhaAtual(kTextos);
        Cena c;
        for (const QString& chave : t.chaves.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString nome = chave.section(QLatin1Char('='), 0, 0);
            GravaINI(nome == QStringLiteral("Configurações") ? QStringLiteral("MODEM") : SecaoConexao, nome,
                     chave.section(QLatin1Char('='), 1));
        }
        c.Conexao(QStringLiteral("Modem"));
        c.pedido.texto = t.texto;
        c.Envia();
        QCOMPARE(c.Log(QStringLiteral("Mensagem")), t.registrados);
        QCOMPARE(c.modem.Contagem("\x02"), int(t.registrados.size()));
        // A character that cannot go is refused before dialling.
        QCOMPARE(c.modem.Contagem("ATD"), int(!t.caixa.contains(QLatin1Char('"'))));
        QCOMPARE(c.operador.TextosDasCaixas().value(0).contains(t.caixa), true);
        QCOMPARE(c.operador.caixas.size(), int(!t.caixa.isEmpty()));
        // Each page its own block, in order; on a 7-bit line every byte below 128.
        qsizetype depois = 0;
        for (qsizetype k = 0; k < t.registrados.size(); ++k) {
            const QByteArray campo = k == 0 && !t.campo.isEmpty() ? t.campo : ParaWin1252(t.registrados[k]);
            depois = c.modem.linha.indexOf(BlocoTAP("1234567890", campo), depois);
            QVERIFY2(depois >= 0, qPrintable(t.registrados[k]));
        }
        if (!t.chaves.contains(k8Bits))
            QVERIFY(std::none_of(c.modem.linha.begin(), c.modem.linha.end(), [](char b) { return b < 0; }));
    }

    // Bruno's and Dora's pages refused: the group still completes, with one box naming the first
    // and the terminal's reason.
    void enviaGrupo() {
        Cena c;
        const QString recusa = QStringLiteral("\r\x1e\r\x06\r|0.5");
        c.Roteiro({"@0.5|ID=", "\002222\r|511 Invalid pager ID\r" + recusa, "\002333\r|" + recusa,
                   "\x02|\x06\r|0.5"});
        c.modem.TerminalQueAceitaLogOn();
        const QVector<qint32> membros{
            CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("111")),
            CadastraUsuario(QStringLiteral("Bruno D'Ávila"), QStringLiteral(" 222 ")),
            CadastraUsuario(QStringLiteral("Dora"), QStringLiteral("333"))};
        Modulo::CodigosDaLista[3] = CadastraGrupo(QStringLiteral("Plantão"), membros);
        c.pedido.porUsuario = false;
        c.pedido.indice = 2;
        c.pedido.texto = QStringLiteral("  Ligar para a base\n  ");
        QVERIFY(EnviarGrupo(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.modem.Contagem("\x1bPG1\r"), 1);
        QCOMPARE(c.modem.Contagem("\x02"), 3);
        QVERIFY(c.modem.linha.contains(BlocoTAP("111", "Ligar para a base\n")));
        QVERIFY(c.modem.linha.contains(BlocoTAP("222", "Ligar para a base\n")));
        QCOMPARE(c.Log(), (QStringList{"Ana", "Bruno D'Ávila", "Dora"}));
        QCOMPARE(c.operador.TextosDasCaixas(),
                 QStringList{
                     "Erro na tentativa de envio para o pager de Bruno D'Ávila. Problemas com o código 222. "
                     "Possibilidade de erro na tentativa do envio das outras mensagens.\rMotivo dado pela "
                     "central: código do pager não cadastrado na central (511 Invalid pager ID).\r"});
        QCOMPARE(c.operador.caixas[0].titulo, QStringLiteral("Erro(s):"));
        QCOMPARE(c.modem.Contagem("\x04\r"), 1);
        QCOMPARE(c.painel.valores, QVector<int>({0, 1, 2, 3}));
    }

    // An empty group: the line is hung up before the operator is told, and nothing goes out.
    void grupoVazioDesligaAntesDeAvisar() {
        Cena c;
        Modulo::CodigosDaLista[1] = CadastraGrupo(QStringLiteral("Vazio"));
        c.pedido.porUsuario = false;
        c.pedido.indice = 0;
        QVERIFY(!EnviarGrupo(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.modem.linha, QByteArray("+++ATH0\r"));
        QCOMPARE(
            c.operador.eventos.mid(c.operador.eventos.size() - 2),
            (QStringList{"status: Pronto", "caixa:Este grupo não possue nenhum usuário cadastrado. Não há "
                                           "alguém para enviar mensagem."}));
    }

    // An ACK that is no answer to the page: one before "ID=", a second one to the log-on request
    // (in its last pause, or 0.1 s later with no go-ahead, when the page used to be out already),
    // one that came while the block was still crossing the line.
    void respostaQueNaoEhDaPagina_data() {
        QTest::addColumn<QByteArray>("aoPrompt");
        QTest::addColumn<QString>("quando");
        QTest::newRow("antes do ID=") << QByteArray("\x06\rID=") << "";
        QTest::newRow("na última pausa do log-on") << QByteArray("ID=") << "pausa";
        QTest::newRow("0,1 s depois da do log-on") << QByteArray("ID=") << "tarde";
        QTest::newRow("enquanto o bloco sai") << QByteArray("ID=") << "bloco";
    }
    void respostaQueNaoEhDaPagina() {
        QFETCH(QByteArray, aoPrompt);
        QFETCH(QString, quando);
        Cena c;
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("123"));
        c.modem.QuandoRecebe("\r", aoPrompt, 0.3, 1, true);
        c.modem.QuandoRecebe("\x1bPG1\r", "\x06\r", 0.3);
        c.modem.segundosPorByte = 1.0 / 960;
        c.relogio.aoPausar = [&c, quando] {
            if (quando == "pausa" && c.relogio.pausas.last() == 0.01)
                c.modem.Entrega(0, "\x06\r");
        };
        c.modem.aoEscrever = [&c, quando](const QByteArray& b) {
            if ((quando == "tarde" && b.startsWith("\x1bPG1")) || (quando == "bloco" && b.startsWith("\x02")))
                c.modem.Entrega(quando == "tarde" ? 0.4 : 0.01, "\x06\r");
        };
        QVERIFY(!EnviarUsuario(c.ctx, c.pedido, c.painel));
        QCOMPARE(c.Log().size(), 0);
        QCOMPARE(c.operador.TextosDasCaixas(), QStringList{kTempo});
    }

    void grupoComFalhaNoOitavo_data() { Linhas(kFalhas); }
    void grupoComFalhaNoOitavo() {
        const FalhaNoOitavo& f = LinhaAtual(kFalhas);
        const QByteArray falha = f.falha;
        Cena c;
        c.modem.TerminalQueAceitaLogOn();
        QVector<qint32> membros;
        for (int n = 1; n <= 20; ++n)
            membros << CadastraUsuario(QStringLiteral("Membro %1").arg(n, 2, 10, QLatin1Char('0')),
                                       QString::number(1000 + n));
        Modulo::CodigosDaLista[1] = CadastraGrupo(QStringLiteral("G"), membros);
        c.pedido.porUsuario = false;
        const QByteArray oitavo("\0021008\r");
        c.modem.QuandoRecebe(oitavo, falha.split('|')[0], 0.5,
                             falha == "perda" || falha == "log" || falha == "sinal" ? 0 : 1);
        c.modem.QuandoRecebe("\x02", "\x06\r", 0.5);
        if (falha.contains('\x1b') && f.resumo.isEmpty())
            c.modem.CentralQueAceita(); // the new call connects and logs on
        double fimDoOitavo = -1;
        c.modem.aoEscrever = [&c, oitavo, falha, &fimDoOitavo](const QByteArray& b) {
            if (falha == "perda" && b.startsWith(oitavo))
                c.modem.Perde();
            for (int n = 0; b.startsWith(oitavo) && n < (falha == "sinais" ? 2 : falha == "sinal"); ++n)
                Interrupcao::Pede();
            if (b.startsWith(oitavo))
                fimDoOitavo = c.relogio.Agora();
            if (b.startsWith(oitavo) && falha.contains('|'))
                c.modem.Entrega(0.51, falha.split('|')[1]);
        };
        c.relogio.dataHora = [&c] { // a history row takes 20 ms to write
            c.relogio.AvancaPara(c.relogio.Agora() + 0.02);
            return QDateTime(QDate(2026, 12, 6), QTime(10, 0));
        };
        const auto esquece = qScopeGuard([] { Interrupcao::Esquece(); });
        // An earlier send's list stays: the file is only added to.
        QFile arquivo(c.ambiente.Diretorio() + "/PaginasNaoRegistradas.txt");
        if (falha == "log") {
            QVERIFY(arquivo.open(QIODevice::WriteOnly) && arquivo.write("envio anterior\n") > 0);
            arquivo.close();
            QVERIFY(Executa("Create Trigger cheio Before Insert On Log When New.ID_Pager = '1008' "
                            "Begin Select Raise(Abort, 'disk full'); End"));
        }
        QCOMPARE(EnviarGrupo(c.ctx, c.pedido, c.painel), !f.resumo.contains("interrompido"));
        QCOMPARE(c.Log().size(), f.linhasNoLog);
        if (falha.startsWith("sina")) {
            QCOMPARE(c.modem.linha.endsWith(kLogOff), falha == "sinal");
            QCOMPARE(c.modem.linha.mid(c.modem.linha.lastIndexOf(oitavo)).contains("\x04"), falha == "sinal");
            QVERIFY(falha == "sinal" || c.relogio.Agora() - fimDoOitavo < 1); // not the 5 s time-out
        }
        if (f.resumo.isEmpty() && falha.contains('\x1b')) { // judged once, the rest on a new call
            QCOMPARE(std::pair(c.modem.Contagem(oitavo), c.modem.Contagem("ATD")), std::pair(1, 1));
            QCOMPARE(c.Log("Situacao").value(7), falha.startsWith('\x06') ? "entregue" : "recusada");
            return;
        }
        if (f.resumo.isEmpty()) { // each resend shows the sending text again
            const int erro = c.operador.status.indexOf(" Erro na transmissão, re-enviando mensagem ...");
            QCOMPARE(c.operador.status.value(erro + 1), kEnviando);
            return;
        }
        // One summary, after the hang-up, naming every member left out (or left unrecorded).
        const QString fim = c.operador.caixas.last().texto;
        QVERIFY2(fim.contains(f.resumo), qPrintable(fim));
        const int primeiro = falha == "log" ? 8 : f.linhasNoLog + 1; // the first member left out
        QVERIFY(
            fim.contains(QStringLiteral("Membro %1 (pager 10%1)").arg(primeiro, 2, 10, QLatin1Char('0'))) &&
            !fim.contains(QStringLiteral("Membro %1").arg(primeiro - 1, 2, 10, QLatin1Char('0'))));
        QCOMPARE(fim.contains("Membro 20"), f.linhasNoLog < 19);
        QVERIFY(c.operador.eventos.lastIndexOf("status: Pronto") <
                c.operador.eventos.indexOf("caixa:" + fim));
        if (falha == "\x1b\x04\r") // after pages of this call: a session limit, so it calls again
            QVERIFY(c.modem.linha.contains("+++ATH0\rATE0\r"));
        if (falha == "log") {
            QCOMPARE(c.operador.caixas.size(), 1);
            QVERIFY(arquivo.open(QIODevice::ReadOnly));
            const QByteArray lista = arquivo.readAll();
            QVERIFY(lista.startsWith("envio anterior\n"));
            QVERIFY(lista.contains("Membro 08\tpager 1008\tmensagem:   Ligar para a base  "));
        }
    }

    // Before a send: a lost modem port or direct-line cable opened again (the user lookup that
    // follows is then what refuses), or a refused settings file; nothing else dialled.
    void antesDeDiscar_data() {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QString>("caixa");
        QTest::newRow("dispositivo de volta") << 0 << QString();
        QTest::newRow("dispositivo ausente") << 1 << "não está disponível";
        QTest::newRow("configuração enorme") << 2 << "o limite é 1024 KB";
        QTest::newRow("cabo da linha direta de volta") << 3 << "não foi encontrado no cadastro";
        QTest::newRow("porta TCP fora da faixa") << 4 << "central, \"70000\", não é um número de 1 a 65535";
    }
    void antesDeDiscar() {
        QFETCH(int, caso);
        QFETCH(QString, caixa);
        Cena c;
        c.modem.ModemQueRespondeOK();
        c.modem.Perde();
        c.modem.ausente = caso == 1;
        if (caso == 2)
            c.ambiente.EscreveINI(";" + QByteArray(TamanhoMaximoDoINI, 'x'));
        if (caso == 3)
            GravaINI(SecaoConexao, QStringLiteral("Tipo"), QStringLiteral("Direta"));
        if (caso == 4)
            c.ambiente.EscreveINI("[CONEX\xc3O]\nTipo=TCP\nEndere\xe7o=127.0.0.1\nPorta TCP=70000\n");
        IniciaProcesso(c.ctx, c.pedido, c.painel);
        QCOMPARE(c.modem.linha.startsWith("ATE0\r"), caso == 0);
        QCOMPARE(c.operador.TextosDasCaixas().value(0).contains(caixa), true);
    }

    // A group send through the window, with Escape and close tried while it runs.
    void envioParaUmGrupo() {
        Cena b;
        Modulo::CodigosDaLista[1] = CadastraGrupo(
            QStringLiteral("Todos"), {CadastraUsuario("Ana", "111"), CadastraUsuario("Caio", "222")});
        b.modem.CentralQueAceita();
        b.pedido.porUsuario = false;
        frmShowDoEnvio janela(b.ctx, b.pedido);
        auto* titulo = janela.findChild<QLabel*>(QStringLiteral("pnlTitulo"));
        auto* medidor = janela.findChild<QProgressBar*>(QStringLiteral("valStatus"));
        QStringList titulos;
        bool abertaComMedidor = true;
        b.relogio.aoPausar = [&] {
            if (titulos.isEmpty() || titulos.last() != titulo->text())
                titulos << titulo->text();
            QTest::keyClick(&janela, Qt::Key_Escape);
            janela.close();
            abertaComMedidor = abertaComMedidor && janela.isVisible() && medidor->isVisible();
        };
        // What was painted when each block and the log-off left; no events run between pages.
        Pinturas doTitulo, doMedidor;
        doTitulo.mostra = [titulo] { return titulo->text(); };
        doMedidor.mostra = [medidor] { return QString::number(medidor->value()); };
        titulo->installEventFilter(&doTitulo);
        medidor->installEventFilter(&doMedidor);
        QStringList naSaida;
        b.modem.aoEscrever = [&](const QByteArray& bytes) {
            if (bytes.startsWith('\x02') || bytes == "\x04\r")
                naSaida << doTitulo.vistas.constLast() + " " + doMedidor.vistas.constLast();
        };
        janela.MedidorVisivel(true); // as the composition window does for a group
        QCOMPARE(janela.exec(), int(QDialog::Accepted));
        QVERIFY(abertaComMedidor);
        QCOMPARE(titulos, (QStringList{"Discando ...", "Efetuando LogIn ...", "Enviando Mensagem ...",
                                       "Desconectando Modem ..."}));
        QCOMPARE(naSaida, (QStringList{"Enviando Mensagem ... 0", "Enviando Mensagem ... 0",
                                       "Enviando Mensagem ... 2"}));
        QCOMPARE(titulo->text(), QStringLiteral("Retornando ..."));
        QCOMPARE(medidor->maximum(), 2);
        QCOMPARE(b.pedido.esvaziamentos, 1);
    }

    // The modem held by another Bipvox program: the window waits, saying who, and sends once it is
    // free; Escape or Retornar give the wait up with nothing dialled.
    void esperaPeloModem_data() {
        QTest::addColumn<QString>("acao");
        QTest::newRow("a porta fica livre") << "";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("Retornar") << "Retornar";
    }
    void esperaPeloModem() {
        QFETCH(QString, acao);
        Cena b;
        b.Conexao(QStringLiteral("Modem"));
        b.modem.setPortOpen(false);
        b.modem.falhasAoAbrir = 4;
        b.modem.emUsoPor = QStringLiteral("em uso por outro programa do Bipvox (bipvox-enviar, processo 42)");
        frmShowDoEnvio janela(b.ctx, b.pedido);
        auto* retornar = janela.findChild<QPushButton*>(QStringLiteral("cmdRetornar"));
        auto* titulo = janela.findChild<QLabel*>(QStringLiteral("pnlTitulo"));
        QStringList vistos;
        b.relogio.aoPausar = [&] {
            if (!retornar->isVisible())
                return;
            vistos << titulo->text();
            if (acao == QLatin1String("Escape"))
                QTest::keyClick(&janela, Qt::Key_Escape);
            else if (!acao.isEmpty())
                retornar->click();
        };
        QCOMPARE(janela.exec(), int(QDialog::Accepted));
        QCOMPARE(vistos.value(0), b.modem.emUsoPor.prepend(QStringLiteral("Aguardando o modem, ")));
        QCOMPARE(vistos.size(), acao.isEmpty() ? 4 : 1);
        QCOMPARE(b.modem.Contagem("ATD"), int(acao.isEmpty()));
        QCOMPARE(b.pedido.esvaziamentos, int(acao.isEmpty()));
        QVERIFY(!retornar->isVisible() && !b.modem.PortOpen());
    }

    void caixaDuranteOEnvioNaoDiscaDeNovo() {
        Cena b;
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1234567"));
        b.modem.ModemQueRespondeOK();
        b.modem.QuandoRecebe("ATD", "\r\nCONNECT 9600\r\n", 2.0); // the terminal never asks for the ID
        OperadorComCaixas operador;
        Contexto ctx{b.relogio, b.modem, operador};
        frmShowDoEnvio janela(ctx, b.pedido);
        QCOMPARE(janela.exec(), int(QDialog::Accepted));
        QCOMPARE(operador.TextosDasCaixas(), QStringList{kGenerica});
        janela.Form_Activate();
        QCOMPARE(b.modem.Contagem("ATD"), 1);
        QCOMPARE(b.pedido.esvaziamentos, 0);
        QCOMPARE(b.pedido.texto, QStringLiteral("  Ligar para a base  "));
    }
};

QTEST_MAIN(tst_Envio)
#include "tst_Envio.moc"
