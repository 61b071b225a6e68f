// The simulated paging terminal as a plain class: prompts, log-on, the verdict on every block.
#include "SomaTAP.h"
#include "TerminalTAP.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
const QByteArray ID = "ID=";
const QByteArray LOGON = "\x1bPG1\r";
const QByteArray ACEITO = "110 1.8\r\x06\r\x1b[p\r";
const QByteArray PAGINA_ACEITA = "211 Page(s) Sent Successfully\r\x06\r";
const QByteArray PAGINA_RECUSADA = "511 Invalid pager ID\r\x1e\r";
const QByteArray NAK = "\x15\r";
const QByteArray DESCONEXAO = "\x1b\x04\r";

// The block as the program frames it; the sum is worked out here by the book, not by SomaTAP.
QByteArray Bloco(const QByteArray& codigo, const QByteArray& mensagem) {
    const QByteArray corpo = "\x02" + codigo + "\r" + mensagem + "\r\x03";
    unsigned s = 0;
    for (const char c : corpo)
        s += static_cast<unsigned char>(c);
    return corpo + char('0' + ((s >> 8) & 15)) + char('0' + ((s >> 4) & 15)) + char('0' + (s & 15)) + "\r";
}

// A terminal that has already taken the log-on, with the pages it judged.
struct Sessao {
    explicit Sessao(const Cenario& c) : cenario(c), terminal(cenario) {
        terminal.aoReceberPagina = [this](const PaginaRecebida& p) { paginas.append(p); };
        terminal.Conecta(0.0, 1);
        terminal.Recebe("\r" + LOGON, 1.0);
        terminal.TomaSaida();
    }
    QByteArray Envia(const QByteArray& bytes) {
        terminal.Recebe(bytes, 2.0);
        return terminal.TomaSaida();
    }
    const Cenario cenario; // the terminal keeps a reference to it
    TerminalTAP terminal;
    QList<PaginaRecebida> paginas;
};
} // namespace

Q_DECLARE_METATYPE(ModoId)
Q_DECLARE_METATYPE(ModoLogon)

class TestTerminalTAP : public QObject {
    Q_OBJECT
private slots:
    void somaTAP_data();
    void somaTAP();
    void pedidoDeIdentificacao_data();
    void pedidoDeIdentificacao();
    void identificacaoEspontanea();
    void logon_data();
    void logon();
    void logonAntesDoIdEIgnorado();
    void logonComSenha_data();
    void logonComSenha();
    void veredito_data();
    void veredito();
    void paginaGuardaOsCampos();
    void blocoMalFormado_data();
    void blocoMalFormado();
    void eotDentroDoBlocoEhMensagem();
    void fimDeSessao();
    void novaChamadaComecaDoZero();
    void lixoNaoImpedeABomPagina_data();
    void lixoNaoImpedeABomPagina();
};

void TestTerminalTAP::somaTAP_data() {
    QTest::addColumn<QByteArray>("bloco");
    QTest::addColumn<QByteArray>("soma");
    QTest::newRow("123/abc") << QByteArray("\x02"
                                           "123\rabc\r\x03")
                             << QByteArray("1=;");
    QTest::newRow("mensagem vazia") << QByteArray("\x02"
                                                  "1\r\r\x03")
                                    << QByteArray("050");
    // 2 + 16 * 255 + 11 + 3 = 4096: the low 12 bits are zero.
    QTest::newRow("soma múltipla de 4096")
        << "\x02" + QByteArray(16, '\xff') + "\x0b\x03" << QByteArray("000");
    // 2 + 49 + 13 + 240 * 200 + 13 + 3 = 48080 = 0xBBD0.
    QTest::newRow("bytes altos, soma grande") << "\x02"
                                                 "1\r" +
                                                     QByteArray(240, char(200)) + "\r\x03"
                                              << QByteArray(";=0");
}

void TestTerminalTAP::somaTAP() {
    QFETCH(QByteArray, bloco);
    QFETCH(QByteArray, soma);
    QCOMPARE(SomaTAP(bloco), soma);
}

void TestTerminalTAP::pedidoDeIdentificacao_data() {
    QTest::addColumn<ModoId>("modo");
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<QByteArray>>("respostas"); // to the 1st, 2nd, 3rd CR
    QTest::newRow("normal") << ModoId::AposCRs << 1 << QList<QByteArray>{ID, ID, ID};
    QTest::newRow("depois de 3 CRs") << ModoId::AposCRs << 3 << QList<QByteArray>{"", "", ID};
    QTest::newRow("minúsculo") << ModoId::Minusculo << 1 << QList<QByteArray>{"id=", "id=", "id="};
    QTest::newRow("nunca") << ModoId::Nunca << 1 << QList<QByteArray>{"", "", ""};
    QTest::newRow("espontâneo não responde a CR") << ModoId::Espontaneo << 1 << QList<QByteArray>{"", "", ""};
}

void TestTerminalTAP::pedidoDeIdentificacao() {
    QFETCH(ModoId, modo);
    QFETCH(int, n);
    QFETCH(QList<QByteArray>, respostas);
    Cenario c;
    c.modoId = modo;
    c.idAposCRs = n;
    c.atrasoIdEspontaneo = 100.0;
    TerminalTAP terminal(c);
    terminal.Conecta(0.0, 1);
    for (int k = 0; k < respostas.size(); ++k) {
        terminal.Recebe("\r", 1.0 + k);
        QCOMPARE(terminal.TomaSaida(), respostas[k]);
    }
}

void TestTerminalTAP::identificacaoEspontanea() {
    Cenario c;
    c.modoId = ModoId::Espontaneo;
    c.atrasoIdEspontaneo = 1.0;
    TerminalTAP terminal(c);
    terminal.Conecta(10.0, 1);
    QCOMPARE(terminal.ProximoEvento(), 11.0);
    terminal.Avanca(10.99);
    QCOMPARE(terminal.TomaSaida(), QByteArray());
    terminal.Avanca(11.0);
    QCOMPARE(terminal.TomaSaida(), ID);
    terminal.Avanca(20.0);
    QCOMPARE(terminal.TomaSaida(), QByteArray()); // once only
    terminal.Recebe(LOGON, 20.0);
    QCOMPARE(terminal.TomaSaida(), ACEITO);
}

void TestTerminalTAP::logon_data() {
    QTest::addColumn<ModoLogon>("modo");
    QTest::addColumn<QByteArray>("pedido");
    QTest::addColumn<QByteArray>("resposta");
    QTest::addColumn<bool>("desliga");
    QTest::addColumn<bool>("aceitaPagina");
    QTest::newRow("aceita") << ModoLogon::Aceita << LOGON << ACEITO << false << true;
    QTest::newRow("aceita com senha qualquer")
        << ModoLogon::Aceita << QByteArray("\x1bPG1abc\r") << ACEITO << false << true;
    QTest::newRow("serviço desconhecido")
        << ModoLogon::Aceita << QByteArray("\x1bPG3\r") << NAK << false << false;
    QTest::newRow("nak") << ModoLogon::Nak << LOGON << NAK << false << false;
    QTest::newRow("desconecta") << ModoLogon::Desconecta << LOGON << DESCONEXAO << true << false;
    QTest::newRow("mudo") << ModoLogon::Mudo << LOGON << QByteArray() << false << false;
    QTest::newRow("pedido longo demais")
        << ModoLogon::Aceita << "\x1bPG1" + QByteArray(TerminalTAP::kMaxLinhaLogon, 'x') + "\r" << ID << false
        << false; // its CR is then only a prompt
}

void TestTerminalTAP::logon() {
    QFETCH(ModoLogon, modo);
    QFETCH(QByteArray, pedido);
    QFETCH(QByteArray, resposta);
    QFETCH(bool, desliga);
    QFETCH(bool, aceitaPagina);
    Cenario c;
    c.logon = modo;
    TerminalTAP terminal(c);
    terminal.Conecta(0.0, 1);
    terminal.Recebe("\r", 1.0);
    QCOMPARE(terminal.TomaSaida(), ID);
    terminal.Recebe(pedido, 2.0);
    QCOMPARE(terminal.TomaSaida(), resposta);
    QCOMPARE(terminal.QuerDesligar(), desliga);
    terminal.Recebe(Bloco("123", "abc"), 3.0);
    QCOMPARE(terminal.TomaSaida() == PAGINA_ACEITA, aceitaPagina);
}

void TestTerminalTAP::logonAntesDoIdEIgnorado() {
    Cenario c;
    c.idAposCRs = 3;
    TerminalTAP terminal(c);
    terminal.Conecta(0.0, 1);
    terminal.Recebe(LOGON, 1.0); // its CR ends the request; it is not a prompt
    QCOMPARE(terminal.TomaSaida(), QByteArray());
    terminal.Recebe("\r\r", 2.0);
    QCOMPARE(terminal.TomaSaida(), QByteArray());
    terminal.Recebe("\r", 2.5);
    QCOMPARE(terminal.TomaSaida(), ID);
    terminal.Recebe(LOGON, 3.0);
    QCOMPARE(terminal.TomaSaida(), ACEITO);
}

void TestTerminalTAP::logonComSenha_data() {
    QTest::addColumn<QByteArray>("pedido");
    QTest::addColumn<QByteArray>("resposta");
    QTest::newRow("certa") << QByteArray("\x1bPG1segr3d\r") << ACEITO;
    QTest::newRow("errada") << QByteArray("\x1bPG1outra\r") << NAK;
    QTest::newRow("ausente") << LOGON << NAK;
}

void TestTerminalTAP::logonComSenha() {
    QFETCH(QByteArray, pedido);
    QFETCH(QByteArray, resposta);
    Cenario c;
    c.exigeSenha = true;
    c.senha = "segr3d";
    TerminalTAP terminal(c);
    terminal.Conecta(0.0, 1);
    terminal.Recebe("\r" + pedido, 1.0);
    QCOMPARE(terminal.TomaSaida(), ID + resposta);
}

void TestTerminalTAP::veredito_data() {
    QTest::addColumn<QString>("opcao");
    QTest::addColumn<QList<QByteArray>>("blocos");
    QTest::addColumn<QList<QByteArray>>("respostas");
    QTest::addColumn<QStringList>("vereditos");
    QTest::addColumn<QList<int>>("numeros");
    QTest::addColumn<bool>("desliga");

    const QByteArray a = Bloco("123", "abc"), b = Bloco("456", "def"), c = Bloco("789", "ghi");
    QByteArray somaErrada = a;
    somaErrada[somaErrada.size() - 2] = '0';

    QTest::newRow("aceita") << "" << QList<QByteArray>{a, b}
                            << QList<QByteArray>{PAGINA_ACEITA, PAGINA_ACEITA}
                            << QStringList{"aceita", "aceita"} << QList<int>{1, 2} << false;
    QTest::newRow("soma errada, depois certa")
        << "" << QList<QByteArray>{somaErrada, a}
        << QList<QByteArray>{"514 Checksum Error. Exp 1=;; Got: 1=0\r" + NAK, PAGINA_ACEITA}
        << QStringList{"nak-soma", "aceita"} << QList<int>{1, 1} << false;
    QTest::newRow("código recusado") << "recusar" << QList<QByteArray>{b, a}
                                     << QList<QByteArray>{PAGINA_RECUSADA, PAGINA_ACEITA}
                                     << QStringList{"recusada", "aceita"} << QList<int>{1, 2} << false;
    QTest::newRow("NAK duas vezes na página 2")
        << "nak" << QList<QByteArray>{a, b, b, b, c}
        << QList<QByteArray>{PAGINA_ACEITA, NAK, NAK, PAGINA_ACEITA, PAGINA_ACEITA}
        << QStringList{"aceita", "nak", "nak", "aceita", "aceita"} << QList<int>{1, 2, 2, 2, 3} << false;
    QTest::newRow("desconecta depois de 1")
        << "desconectar1" << QList<QByteArray>{a, b, c} << QList<QByteArray>{PAGINA_ACEITA, DESCONEXAO, {}}
        << QStringList{"aceita", "desconexao"} << QList<int>{1, 2} << true;
    QTest::newRow("desconecta já na primeira")
        << "desconectar0" << QList<QByteArray>{a, b} << QList<QByteArray>{DESCONEXAO, {}}
        << QStringList{"desconexao"} << QList<int>{1} << true;
    QTest::newRow("mudo na página 2")
        << "mudo" << QList<QByteArray>{a, b, c} << QList<QByteArray>{PAGINA_ACEITA, {}, PAGINA_ACEITA}
        << QStringList{"aceita", "sem-resposta", "aceita"} << QList<int>{1, 2, 3} << false;
}

void TestTerminalTAP::veredito() {
    QFETCH(QString, opcao);
    QFETCH(QList<QByteArray>, blocos);
    QFETCH(QList<QByteArray>, respostas);
    QFETCH(QStringList, vereditos);
    QFETCH(QList<int>, numeros);
    QFETCH(bool, desliga);
    Cenario c;
    if (opcao == "recusar")
        c.codigosRecusados = {"456", "999"};
    if (opcao == "nak") {
        c.nakPagina = 2;
        c.nakVezes = 2;
    }
    if (opcao.startsWith("desconectar"))
        c.desconectarApos = opcao.back().digitValue();
    if (opcao == "mudo")
        c.mudoNaPagina = 2;
    Sessao s(c);
    for (int k = 0; k < blocos.size(); ++k)
        QCOMPARE(s.Envia(blocos[k]), respostas[k]);
    QCOMPARE(s.paginas.size(), vereditos.size());
    for (int k = 0; k < vereditos.size(); ++k) {
        QCOMPARE(s.paginas[k].veredito, vereditos[k]);
        QCOMPARE(s.paginas[k].numero, numeros[k]);
    }
    QCOMPARE(s.terminal.QuerDesligar(), desliga);
}

void TestTerminalTAP::paginaGuardaOsCampos() {
    Sessao s{Cenario()};
    const QByteArray mensagem = "linha 1\rA\xe7\xe3o \x80 2";
    QCOMPARE(s.Envia(Bloco("00123", mensagem)), PAGINA_ACEITA);
    QCOMPARE(s.paginas.size(), 1);
    const PaginaRecebida& p = s.paginas[0];
    QCOMPARE(p.codigo, QByteArray("00123"));
    QCOMPARE(p.mensagem, mensagem);
    QVERIFY(p.somaConfere);
    QCOMPARE(p.somaRecebida, p.somaCalculada);
    QCOMPARE(p.chamada, 1);

    QCOMPARE(s.Envia(Bloco("", "")), PAGINA_ACEITA);
    QCOMPARE(s.paginas[1].codigo, QByteArray());
    QCOMPARE(s.paginas[1].mensagem, QByteArray());
}

void TestTerminalTAP::blocoMalFormado_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("resposta");
    QTest::addColumn<int>("paginas");
    const QByteArray bom = Bloco("123", "abc");
    QTest::newRow("sem ETX e longo demais") << "\x02" + QByteArray(TerminalTAP::kMaxBloco, 'x') << NAK << 0;
    QTest::newRow("sem CR depois da soma") << bom.left(bom.size() - 1) + "Z" << NAK << 0;
    QTest::newRow("soma curta") << QByteArray("\x02"
                                              "1\r2\r\x03"
                                              "1\r")
                                << "514 Checksum Error. Exp 082; Got: 1\r" + NAK << 1;
    QTest::newRow("bloco cortado por outro STX") << "\x02"
                                                    "12\rab" +
                                                        bom
                                                 << PAGINA_ACEITA << 1;
    QTest::newRow("lixo entre blocos") << "\x01zz\r\r+++" + bom << PAGINA_ACEITA << 1;
}

void TestTerminalTAP::blocoMalFormado() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, resposta);
    QFETCH(int, paginas);
    Sessao s{Cenario()};
    QCOMPARE(s.Envia(bytes), resposta);
    QCOMPARE(s.paginas.size(), paginas);
    // The terminal is still there for the next good block.
    QCOMPARE(s.Envia(Bloco("555", "ok")), PAGINA_ACEITA);
}

void TestTerminalTAP::eotDentroDoBlocoEhMensagem() {
    Sessao s{Cenario()};
    QCOMPARE(s.Envia(Bloco("1", "a\x04\rb")), PAGINA_ACEITA);
    QVERIFY(!s.terminal.QuerDesligar());
    QCOMPARE(s.paginas[0].mensagem, QByteArray("a\x04\rb"));
}

void TestTerminalTAP::fimDeSessao() {
    Sessao s{Cenario()};
    QCOMPARE(s.Envia(Bloco("1", "a")), PAGINA_ACEITA);
    const QByteArray adeus = s.Envia("\x04\r");
    QVERIFY2(adeus.startsWith("115 ") && adeus.endsWith("\r" + DESCONEXAO), adeus.constData());
    QVERIFY(s.terminal.QuerDesligar());
    QCOMPARE(s.Envia(Bloco("1", "a")), QByteArray()); // nothing after goodbye
}

void TestTerminalTAP::novaChamadaComecaDoZero() {
    Cenario c;
    c.desconectarApos = 1;
    Sessao s(c);
    QCOMPARE(s.Envia(Bloco("1", "a")), PAGINA_ACEITA);
    QCOMPARE(s.Envia(Bloco("2", "b")), DESCONEXAO);
    s.terminal.Desliga();
    QVERIFY(!s.terminal.Conectado());

    s.terminal.Conecta(50.0, 2);
    s.terminal.Recebe(Bloco("1", "a"), 51.0); // not logged on yet: its three CRs are only prompts
    QCOMPARE(s.terminal.TomaSaida(), ID + ID + ID);
    QCOMPARE(s.paginas.size(), 2);
    s.terminal.Recebe("\r" + LOGON + Bloco("3", "c"), 52.0);
    QCOMPARE(s.terminal.TomaSaida(), ID + ACEITO + PAGINA_ACEITA);
    QCOMPARE(s.paginas.last().chamada, 2);
    QCOMPARE(s.paginas.last().numero, 1);
}

void TestTerminalTAP::lixoNaoImpedeABomPagina_data() {
    QTest::addColumn<quint32>("semente");
    for (quint32 semente : {7u, 8u, 9u, 10u})
        QTest::addRow("semente %u", semente) << semente;
}

void TestTerminalTAP::lixoNaoImpedeABomPagina() {
    QFETCH(quint32, semente);
    Sessao s{Cenario()};
    QRandomGenerator gerador(semente);
    QByteArray lixo(5000, 0);
    for (char& c : lixo) {
        c = char(gerador.bounded(256));
        if (c == '\x04')
            c = 'x'; // an EOT CR in the noise would end the session, which is not the point here
    }
    s.Envia(lixo);
    s.Envia("\r");
    QCOMPARE(s.Envia(Bloco("123", "abc")), PAGINA_ACEITA);
    QCOMPARE(s.paginas.last().codigo, QByteArray("123"));
}

QTEST_GUILESS_MAIN(TestTerminalTAP)
#include "tst_TerminalTAP.moc"
