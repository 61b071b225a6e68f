// The simulator's command line and its line pacing.
#include "LinhaCompassada.h"
#include "Opcoes.h"

#include <QtTest>

namespace {
// The parsed options as "chave=valor" words, so a row can name just what it expects.
QStringList Resumo(const Opcoes& o) {
    const Cenario& c = o.cenario;
    QStringList discagens;
    for (Discagem d : c.discagens)
        discagens << QString::number(int(d));
    QStringList recusados;
    for (const QByteArray& r : c.codigosRecusados)
        recusados << QString::fromLatin1(r);
    recusados.sort();
    return {QStringLiteral("discagens=") + discagens.join(','),
            QStringLiteral("atraso=%1").arg(c.atrasoDiscagem),
            QStringLiteral("id=%1/%2/%3").arg(int(c.modoId)).arg(c.idAposCRs).arg(c.atrasoIdEspontaneo),
            QStringLiteral("logon=%1").arg(int(c.logon)),
            QStringLiteral("recusados=") + recusados.join(','),
            QStringLiteral("desconectar=%1").arg(c.desconectarApos),
            QStringLiteral("nak=%1:%2").arg(c.nakPagina).arg(c.nakVezes),
            QStringLiteral("mudoNaPagina=%1").arg(c.mudoNaPagina),
            QStringLiteral("modemMudo=%1").arg(c.modemMudo),
            QStringLiteral("guarda=%1").arg(c.guardaEscape),
            QStringLiteral("link=") + o.link,
            QStringLiteral("transcricao=") + o.transcricao,
            QStringLiteral("duracao=%1").arg(o.duracao),
            QStringLiteral("ritmo=%1").arg(o.ritmo),
            QStringLiteral("silencioso=%1").arg(o.silencioso),
            QStringLiteral("ajuda=%1").arg(o.ajuda)};
}
} // namespace

class tst_OpcoesDoSimulador : public QObject {
    Q_OBJECT
private slots:
    void opcoesValidas_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("padrões") << QStringList{}
                                 << QStringList{"discagens=0",    "atraso=2",       "id=0/1/1",
                                                "logon=0",        "desconectar=-1", "nak=0:0",
                                                "mudoNaPagina=0", "modemMudo=0",    "guarda=0.5",
                                                "duracao=0",      "ritmo=0",        "ajuda=0"};
        QTest::newRow("vírgula decimal")
            << QStringList{"--atraso-discagem=0,25"} << QStringList{"atraso=0.25"};
        QTest::newRow("id depois de 3 CRs") << QStringList{"--id=apos-3"} << QStringList{"id=0/3/1"};
        QTest::newRow("id espontâneo com tempo")
            << QStringList{"--id=espontaneo-0.2"} << QStringList{"id=1/1/0.2"};
        QTest::newRow("id minúsculo") << QStringList{"--id=minusculo"} << QStringList{"id=3/1/1"};
        QTest::newRow("logon nak") << QStringList{"--logon=nak"} << QStringList{"logon=1"};
        QTest::newRow("recusados") << QStringList{"--recusar=999,12", "--recusar=7"}
                                   << QStringList{"recusados=12,7,999"};
        QTest::newRow("nak N:VEZES") << QStringList{"--nak-pagina=2:3"} << QStringList{"nak=2:3"};
        QTest::newRow("mudo na página") << QStringList{"--mudo-na-pagina=2"} << QStringList{"mudoNaPagina=2"};
        QTest::newRow("chaves") << QStringList{"--modem-mudo", "--ritmo", "--silencioso"}
                                << QStringList{"modemMudo=1", "ritmo=1", "silencioso=1"};
        QTest::newRow("tempo e arquivos")
            << QStringList{"--duracao=3", "--transcricao=/tmp/t.jsonl", "--guarda-escape=1"}
            << QStringList{"duracao=3", "transcricao=/tmp/t.jsonl", "guarda=1"};
        QTest::newRow("--ajuda") << QStringList{"--ajuda"} << QStringList{"ajuda=1"};
    }

    void opcoesValidas() {
        QFETCH(QStringList, argumentos);
        QFETCH(QStringList, esperado);
        Opcoes opcoes;
        QString erro;
        QVERIFY2(InterpretaOpcoes(argumentos, opcoes, erro), qPrintable(erro));
        const QStringList resumo = Resumo(opcoes);
        for (const QString& item : esperado)
            QVERIFY2(resumo.contains(item),
                     qPrintable(item + QStringLiteral(" não está em ") + resumo.join(' ')));
    }

    void opcoesInvalidas_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("citado"); // the message must name what is wrong
        QTest::newRow("discagem desconhecida") << QStringList{"--discagem=talvez"} << "talvez";
        QTest::newRow("atraso negativo") << QStringList{"--atraso-discagem=-1"} << "atraso-discagem";
        QTest::newRow("id depois de 0") << QStringList{"--id=apos-0"} << "apos-0";
        QTest::newRow("logon desconhecido") << QStringList{"--logon=sim"} << "logon";
        QTest::newRow("nak página 0") << QStringList{"--nak-pagina=0:1"} << "nak-pagina";
        QTest::newRow("nak com três partes") << QStringList{"--nak-pagina=1:2:3"} << "1:2:3";
        QTest::newRow("duração zero") << QStringList{"--duracao=0"} << "duracao";
        QTest::newRow("opção desconhecida") << QStringList{"--xyz"} << "xyz";
        QTest::newRow("valor faltando") << QStringList{"--link"} << "link";
        QTest::newRow("valor a mais") << QStringList{"--ritmo=1"} << "ritmo";
    }

    void opcoesInvalidas() {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, citado);
        Opcoes opcoes;
        QString erro;
        QVERIFY(!InterpretaOpcoes(argumentos, opcoes, erro));
        QVERIFY2(erro.contains(citado), qPrintable(erro));
    }

    // The line's pacing, in character times (1/960 s at 9600 baud): "C n t" puts n bytes in at t,
    // "R t n" expects n bytes through by t, "P t" the next one through at t.
    void compasso_data() {
        QTest::addColumn<bool>("ritmo");
        QTest::addColumn<QStringList>("passos");
        QTest::newRow("sem ritmo, tudo de uma vez") << false << QStringList{"C 500 2880", "R 2880 500"};
        QTest::newRow("9600 bauds") << true
                                    << QStringList{
                                           "C 96 0", "P 1", "R 0 0", "R 48 48", "R 95.04 47", "R 96 1",
                                           // after a quiet spell the next byte takes one character time
                                           "C 1 4800", "P 4801", "R 4801 1"};
        // Queued behind the six still on their way: the fifteenth byte is through at 15.
        QTest::newRow("linha ocupada atrasa os novos bytes")
            << true << QStringList{"C 10 0", "R 4.8 4", "C 5 4.8", "R 14.904 10", "R 15 1"};
    }
    void compasso() {
        QFETCH(bool, ritmo);
        QFETCH(QStringList, passos);
        LinhaCompassada linha(ritmo ? LinhaCompassada::kSegundosPorByte9600 : 0.0);
        const double c = 1.0 / 960.0;
        for (const QString& passo : passos) {
            const QStringList p = passo.split(QLatin1Char(' '));
            if (p[0] == QLatin1String("C"))
                linha.Coloca(QByteArray(p[1].toInt(), 'x'), p[2].toDouble() * c);
            else if (p[0] == QLatin1String("R"))
                QCOMPARE(linha.Retira(p[1].toDouble() * c).size(), p[2].toInt());
            else
                QCOMPARE(linha.ProximaSaida(), p[1].toDouble() * c);
        }
        QVERIFY(linha.Vazia());
        QCOMPARE(linha.ProximaSaida(), std::numeric_limits<double>::infinity());
    }
};

QTEST_GUILESS_MAIN(tst_OpcoesDoSimulador)
#include "tst_OpcoesDoSimulador.moc"
