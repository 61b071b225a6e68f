// Framing, log-on and sending in virtual time: the bytes on the line, the terminal's answers,
// what the operator reads, the history rows.
#include "BancadaVirtual.h"
#include "BlocoTAP.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "common/Modulo.h"
#include "common/Win1252.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"
#include "tap/FuncoesTAP.h"
#include "tap/LogOn.h"

#include <QtTest>

namespace {
const QString kVerificando = QStringLiteral(" Verificando compatibilidade do sistema, aguarde ...");
const QString kAguardando =
    QStringLiteral(" Aguardando a autorização para enviar mensagens, aguarde ...    ");
const QString kPronto = QStringLiteral(" Pronto");
const QString kTempo = QStringLiteral("Erro: Time Out - Aguardando confirmação do dígito verificador ...");
const QString kAceita = QStringLiteral("211 Page(s) Sent Successfully\r\x06\r");
const QString kLogOn = QStringLiteral("\x1bPG1\r|110 1.8\r\x06\r\x1b[p\r|0.3");

struct Cena : BancadaVirtual {
    PedidoDeTeste pedido;
    PainelDeTeste painel;
    Cena() {
        QVERIFY(ambiente.AbreBancoVazio());
        pedido.texto = QStringLiteral("  Ligar para a base  ");
    }
    QStringList Log() const {
        QStringList nomes;
        for (Snapshot log(QStringLiteral("Select Usuario From Log Order By rowid")); !log.Eof();
             log.MoveNext())
            nomes << log.Campo(QStringLiteral("Usuario")).toString().trimmed();
        return nomes;
    }
};
} // namespace

class tst_Envio : public QObject {
    Q_OBJECT
private slots:
    void unidade_data() {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QByteArray>("unidade"); // empty: refused
        QTest::newRow("exemplo") << "123"
                                 << "abc"
                                 << QByteArray("\x02"
                                               "123\rabc\r\x03"
                                               "1=;\r");
        QTest::newRow("240 caracteres") << "7" << QString(240, 'a') << BlocoTAP("7", QByteArray(240, 'a'));
        QTest::newRow("241 caracteres") << "7" << QString(241, 'a') << QByteArray();
        QTest::newRow("soma acima de 12 bits")
            << "123" << QString(240, QChar(200)) << BlocoTAP("123", QByteArray(240, char(200)));
        QTest::newRow("euro e fora do Windows-1252") << "" << QString("€Ωã") << BlocoTAP("", "\x80?\xe3");
        QTest::newRow("controles inalterados") << "12 "
                                               << "a\rb\x03" << BlocoTAP("12 ", "a\rb\x03");
    }
    void unidade() {
        QFETCH(QString, codigo);
        QFETCH(QString, mensagem);
        QFETCH(QByteArray, unidade);
        QString bloco = QStringLiteral("anterior");
        QString soma;
        QCOMPARE(MontaBlocoTAP(codigo, mensagem, bloco), !unidade.isEmpty());
        if (unidade.isEmpty()) {
            QCOMPARE(bloco, QStringLiteral("anterior"));
            return;
        }
        QVERIFY(CalculaChecksumTAP(bloco, soma));
        QCOMPARE(ParaWin1252(bloco + soma + QLatin1Char('\r')), unidade);
        QCOMPARE(DigitoChecksumTAP(0xA00, 3), QStringLiteral(":"));
        QCOMPARE(DigitoChecksumTAP(0xFFF, 4), QStringLiteral("0"));
    }

    void logOn_data() {
        QTest::addColumn<QStringList>("regras");
        QTest::addColumn<bool>("aceito");
        QTest::addColumn<int>("prompts");
        QTest::addColumn<double>("tempo");
        // CR prompts a second apart until "ID=", a closing second, ESC PG1, 0.02 s, the ACK, 0.01 s.
        QTest::newRow("ID= no segundo prompt") << QStringList{"@1.5|ID=", kLogOn} << true << 2 << 3.31;
        QTest::newRow("ID= em duas leituras")
            << QStringList{"@0.5|\r\nI", "@4.2|D=", kLogOn} << true << 5 << 6.31;
        QTest::newRow("ID= aos 12.5 s") << QStringList{"@12.5|ID=", kLogOn} << true << 13 << 14.31;
        QTest::newRow("ID= aos 14.5 s: tarde") << QStringList{"@14.5|ID=", kLogOn} << false << 15 << 16.0;
        QTest::newRow("id= minúsculo") << QStringList{"@0.5|id=", kLogOn} << false << 16 << 17.0;
        QTest::newRow("ACK aos 4.9 s") << QStringList{"@0.5|ID=", "\x1bPG1\r|\x06|4.92"} << true << 1 << 6.93;
        QTest::newRow("ACK aos 5.5 s") << QStringList{"@0.5|ID=", "\x1bPG1\r|\x06|5.5"} << false << 1 << 7.03;
        QTest::newRow("NAK") << QStringList{"@0.5|ID=", "\x1bPG1\r|\x15\r|0.3"} << false << 1 << 7.03;
        // Only an ACK after the log-on request accepts it.
        QTest::newRow("ACK junto com o ID=") << QStringList{"@0.5|ID=\x06"} << false << 1 << 7.03;
    }
    void logOn() {
        QFETCH(QStringList, regras);
        QFETCH(bool, aceito);
        QFETCH(int, prompts);
        QFETCH(double, tempo);
        BancadaVirtual b;
        b.Roteiro(regras);
        QCOMPARE(AguardaIDeInicializaModoAutomatico(b.ctx), aceito);
        const bool pediu = b.modem.linha.contains("\x1b");
        QCOMPARE(b.modem.linha, QByteArray(prompts, '\r') + (pediu ? "\x1bPG1\r" : ""));
        QVERIFY2(qAbs(b.Decorrido() - tempo) < 1e-6, qPrintable(QString::number(b.Decorrido())));
        const QStringList status =
            pediu ? QStringList{kVerificando, kAguardando, kPronto} : QStringList{kVerificando, kPronto};
        QCOMPARE(b.operador.status, status);
    }

    void enviaUsuario_data() {
        QTest::addColumn<QStringList>("regras"); // after the log-on
        QTest::addColumn<int>("tamanho");        // of the message; 0: the fixture's
        QTest::addColumn<bool>("enviado");
        QTest::addColumn<int>("blocos");
        QTest::addColumn<QStringList>("caixas");
        const QString nak = QStringLiteral("\x02|\x15\r|0.5");
        QTest::newRow("aceita") << QStringList{"\x02|" + kAceita + "|0.5"} << 0 << true << 1 << QStringList();
        QTest::newRow("ACK e CR em duas leituras")
            << QStringList{"\x02|\x06|0.5", "@3|\r"} << 0 << true << 1 << QStringList();
        QTest::newRow("NAK duas vezes e ACK")
            << QStringList{nak + "|2", "\x02|\x06\r|0.5"} << 0 << true << 3 << QStringList();
        QTest::newRow("três NAKs") << QStringList{nak} << 0 << false << 3 << QStringList();
        QTest::newRow("ACK aos 5.5 s")
            << QStringList{"\x02|\x06\r|5.5"} << 0 << false << 1 << QStringList{kTempo};
        QTest::newRow("pedido de desconexão")
            << QStringList{"\x02|\x1b\x04\r|0.5"} << 0 << false << 1 << QStringList();
        QTest::newRow("código recusado") << QStringList{"\x02|\r\x1e\r\x06\r|0.5"} << 0 << true << 1
                                         << QStringList{"Código do Pager de usuário Inválido.\r\r"};
        QTest::newRow("241 caracteres")
            << QStringList() << 241 << false << 0 << QStringList{"Erro na criptografação da mensagem..."};
    }
    void enviaUsuario() {
        QFETCH(QStringList, regras);
        QFETCH(int, tamanho);
        QFETCH(bool, enviado);
        QFETCH(int, blocos);
        QFETCH(QStringList, caixas);
        Cena c;
        c.Roteiro(QStringList{"@0.5|ID="} + regras);
        c.modem.TerminalQueAceitaLogOn();
        Modulo::CodigosDaLista[1] =
            CadastraUsuario(QStringLiteral("José D'Ávila"), QStringLiteral("1234567890"));
        if (tamanho)
            c.pedido.texto = QString(tamanho, 'x');

        QCOMPARE(EnviarUsuario(c.ctx, c.pedido, c.painel), enviado);
        QCOMPARE(c.modem.Contagem("\x02"), blocos);
        if (blocos)
            QVERIFY(c.modem.linha.contains(BlocoTAP("1234567890", "Ligar para a base")));
        QCOMPARE(c.Log(), enviado ? QStringList{"José D'Ávila"} : QStringList());
        QCOMPARE(c.operador.TextosDasCaixas(), caixas);
        QCOMPARE(c.modem.linha.contains("\x04\r+++ATH0\r"), enviado); // log-off only after a send
        QVERIFY(c.modem.linha.endsWith("+++ATH0\r"));
        QCOMPARE(c.modem.fechamentos, int(enviado)); // the port is opened again after a send
        QVERIFY(c.modem.PortOpen());
        QCOMPARE(c.painel.titulos.value(c.painel.titulos.size() - 1),
                 tamanho ? QString() : QStringLiteral("Desconectando Modem ..."));
        if (!enviado)
            return;
        Snapshot log(QStringLiteral("Select * From Log"));
        QCOMPARE(log.Campo("Usuario").toString(), QStringLiteral("José D'Ávila").leftJustified(50));
        QCOMPARE(log.Campo("Mensagem").toString(), QStringLiteral("  Ligar para a base  "));
        QCOMPARE(log.Campo("ID_Pager").toString(), QStringLiteral("1234567890"));
        QCOMPARE(log.Campo("ID_Usuario").toInt(), Modulo::CodigosDaLista[1]);
    }

    // The status line of a whole one-user send, as the operator reads it.
    void processoParaUmUsuario_data() {
        QTest::addColumn<QString>("discagem");
        QTest::addColumn<QStringList>("status");
        const QString discando = QStringLiteral(" Discando para a empresa de rádio chamadas, aguarde ...");
        const QStringList desliga{" Desconectando modem, aguarde ...", kPronto};
        QTest::newRow("enviada") << "CONNECT 9600"
                                 << QStringList{discando,
                                                kVerificando,
                                                kAguardando,
                                                kPronto,
                                                " Enviando mensagem, aguade ...",
                                                " Mensagem enviada com sucesso."} +
                                        desliga + QStringList{" Re-inicializando o modem, aguarde ..."};
        QTest::newRow("ocupado") << "BUSY" << QStringList{discando} + desliga;
    }
    void processoParaUmUsuario() {
        QFETCH(QString, discagem);
        QFETCH(QStringList, status);
        Cena c;
        c.modem.ModemQueRespondeOK();
        c.Roteiro({"ATD|\r\n" + discagem + "\r\n|2", "\x02|\x06\r|0.5"});
        c.modem.TerminalQueAceitaLogOn();
        Modulo::CodigosDaLista[1] = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("555"));
        Modulo::EnvioIniciado = false;
        IniciaProcesso(c.ctx, c.pedido, c.painel);
        QVERIFY(Modulo::EnvioIniciado);
        QCOMPARE(c.operador.status, status);
        const bool enviada = status.size() > 3;
        QCOMPARE(c.pedido.esvaziamentos, int(enviada));
        QCOMPARE(c.painel.titulos.last(),
                 enviada ? QStringLiteral("Retornando ...") : QStringLiteral("Desconectando Modem ..."));
    }

    void enviaGrupo_data() {
        QTest::addColumn<QStringList>("regras");
        QTest::addColumn<bool>("enviado");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("caixa");
        const QString refusal = QStringLiteral("\r\x1e\r\x06\r|0.5");
        QTest::newRow("dois códigos recusados")
            << QStringList{"\x02"
                           "222\r|" +
                               refusal,
                           "\x02"
                           "333\r|" +
                               refusal,
                           "\x02|\x06\r|0.5"}
            << true << QStringList{"Ana", "Bruno D'Ávila", "Dora"}
            << "Erro na tentativa de envio para o pager de Bruno D'Ávila. Problemas com o código 222. "
               "Possibilidade de erro na tentativa do envio das outras mensagens.\r";
        QTest::newRow("time-out no segundo") << QStringList{"\x02"
                                                            "111\r|\x06\r|0.5"}
                                             << false << QStringList{"Ana"} << kTempo;
    }
    void enviaGrupo() {
        QFETCH(QStringList, regras);
        QFETCH(bool, enviado);
        QFETCH(QStringList, log);
        QFETCH(QString, caixa);
        Cena c;
        c.Roteiro(QStringList{"@0.5|ID="} + regras);
        c.modem.TerminalQueAceitaLogOn();
        const QVector<qint32> membros{
            CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("111")),
            CadastraUsuario(QStringLiteral("Bruno D'Ávila"), QStringLiteral(" 222 ")),
            CadastraUsuario(QStringLiteral("Dora"), QStringLiteral("333"))};
        Modulo::CodigosDaLista[3] = CadastraGrupo(QStringLiteral("Plantão"), membros);
        c.pedido.porUsuario = false;
        c.pedido.indice = 2;

        QCOMPARE(EnviarGrupo(c.ctx, c.pedido, c.painel), enviado);
        QCOMPARE(c.modem.Contagem("\x1bPG1\r"), 1);
        QCOMPARE(c.modem.Contagem("\x02"), log.size() + int(!enviado));
        QVERIFY(c.modem.linha.contains(BlocoTAP("111", "Ligar para a base")));
        QCOMPARE(c.Log(), log);
        // A group cut short adds its summary of who did not receive.
        QCOMPARE(c.operador.TextosDasCaixas().value(0), caixa);
        QCOMPARE(c.operador.TextosDasCaixas().size(), 1 + int(!enviado));
        QCOMPARE(c.modem.Contagem("\x04\r"), int(enviado));
        QCOMPARE(c.painel.maximo, 3);
        QCOMPARE(c.painel.valores, QVector<int>({0, 1, 2, 3}).mid(0, log.size() + 1));
        if (enviado) {
            QVERIFY(c.modem.linha.contains(BlocoTAP("222", "Ligar para a base")));
            QCOMPARE(c.operador.caixas[0].titulo, QStringLiteral("Erro(s):"));
        }
    }

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
};

QTEST_MAIN(tst_Envio)
#include "tst_Envio.moc"
