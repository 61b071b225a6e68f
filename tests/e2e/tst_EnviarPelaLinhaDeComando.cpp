// bipvox-enviar as a script runs it: the real program against bipvox-simulador through a
// pseudo-terminal, judged by its exit status, what reached the paging terminal and the Log rows.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "SimuladorExterno.h"
#include "modem/TravaDaPorta.h"
#include "settings/Conexao.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"

#include <QJsonObject>
#include <QProcess>
#include <QtTest>

class tst_EnviarPelaLinhaDeComando : public QObject {
    Q_OBJECT

private slots:
    void envia_data() {
        QTest::addColumn<QStringList>("cenario");
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QByteArray>("entrada");
        QTest::addColumn<bool>("portaTravada");
        QTest::addColumn<int>("saida");
        QTest::addColumn<int>("discagens");
        QTest::addColumn<QStringList>("paginas"); // code:message, in the order received
        QTest::addColumn<QStringList>("log");     // ID_Pager:ID_Usuario:Usuario
        QTest::addColumn<QString>("naSaidaDeErros");

        const QStringList nenhum;
        QTest::newRow("um usuário, nome em minúsculas, acentos filtrados")
            << nenhum << QStringList{"--usuario", "ana souza", "Reunião às 15h"} << QByteArray() << false << 0
            << 1 << QStringList{"1111:Reuniao as 15h"}
            << QStringList{"1111:1:" + QStringLiteral("Ana Souza").leftJustified(50)} << "Mensagem enviada";
        QTest::newRow("grupo com um código recusado")
            << QStringList{"--recusar=2222"} << QStringList{"--grupo", "PLANTÃO", "Servidor db1 fora do ar"}
            << QByteArray() << false << 1 << 1
            << QStringList{"1111:Servidor db1 fora do ar", "2222:Servidor db1 fora do ar",
                           "3333:Servidor db1 fora do ar"}
            << QStringList{"1111:1:Ana Souza", "2222:2:Beatriz", "3333:3:Carlos"}
            << "Problemas com o código 2222";
        QTest::newRow("ocupado, depois conecta")
            << QStringList{"--discagem=ocupado,conecta"}
            << QStringList{"--tentativas", "2", "--intervalo=0.1", "--usuario", "Ana Souza", "oi"}
            << QByteArray() << false << 0 << 2 << QStringList{"1111:oi"}
            << QStringList{"1111:1:" + QStringLiteral("Ana Souza").leftJustified(50)} << "Tentativa 2 de 2";
        QTest::newRow("ocupado sempre")
            << QStringList{"--discagem=ocupado"}
            << QStringList{"--tentativas", "2", "--intervalo", "0", "--grupo", "Plantão", "oi"}
            << QByteArray() << false << 2 << 2 << nenhum << nenhum << "linha ocupada";
        QTest::newRow("nome desconhecido") << nenhum << QStringList{"--usuario", "Zé", "oi"} << QByteArray()
                                           << false << 3 << 0 << nenhum << nenhum << "se chama \"Zé\"";
        QTest::newRow("mensagem da entrada padrão")
            << nenhum << QStringList{"--silencioso", "--grupo", "Plantão", "-"}
            << QByteArray("Disco cheio em /var\n") << false << 0 << 1
            << QStringList{"1111:Disco cheio em /var", "2222:Disco cheio em /var", "3333:Disco cheio em /var"}
            << QStringList{"1111:1:Ana Souza", "2222:2:Beatriz", "3333:3:Carlos"} << "";
        QTest::newRow("pager fora do cadastro")
            << nenhum << QStringList{"--pager", "9999", "--nome", "Vigia", "--", "-x-"} << QByteArray()
            << false << 0 << 1 << QStringList{"9999:-x-"}
            << QStringList{"9999:0:" + QStringLiteral("Vigia").leftJustified(50)} << "";
        QTest::newRow("central por TCP, sem discar")
            << QStringList{"--tcp=0"} << QStringList{"--usuario", "Ana Souza", "oi"} << QByteArray() << false
            << 0 << 0 << QStringList{"1111:oi"}
            << QStringList{"1111:1:" + QStringLiteral("Ana Souza").leftJustified(50)} << "Conectando";
        QTest::newRow("porta em uso") << nenhum << QStringList{"--usuario", "Ana Souza", "oi"} << QByteArray()
                                      << true << 4 << 0 << nenhum << nenhum << "em uso por outro programa";
    }

    void envia() {
        QFETCH(QStringList, cenario);
        QFETCH(QStringList, argumentos);
        QFETCH(QByteArray, entrada);
        QFETCH(bool, portaTravada);
        QFETCH(int, saida);
        QFETCH(int, discagens);
        QFETCH(QStringList, paginas);
        QFETCH(QStringList, log);
        QFETCH(QString, naSaidaDeErros);

        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        const qint32 ana = CadastraUsuario(QStringLiteral("Ana Souza"), QStringLiteral("1111"));
        const qint32 beatriz = CadastraUsuario(QStringLiteral("Beatriz"), QStringLiteral("2222"));
        const qint32 carlos = CadastraUsuario(QStringLiteral("Carlos"), QStringLiteral("3333"));
        QVERIFY(CadastraGrupo(QStringLiteral("Plantão"), {ana, beatriz, carlos}) > 0);

        SimuladorExterno simulador;
        QString erro;
        QVERIFY2(
            simulador.Inicia(
                cenario + QStringList{"--silencioso", "--atraso-discagem=0.1", "--guarda-escape=0.2"}, &erro),
            qPrintable(erro));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("1"));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), simulador.Dispositivo());
        if (cenario.contains(QStringLiteral("--tcp=0"))) {
            const QStringList endereco = simulador.Dispositivo().split(QLatin1Char(':'));
            GravaINI(SecaoConexao, QStringLiteral("Tipo"), QStringLiteral("TCP"));
            GravaINI(SecaoConexao, QStringLiteral("Endereço"), endereco.value(0));
            GravaINI(SecaoConexao, QStringLiteral("Porta TCP"), endereco.value(1));
        }
        TravaDaPorta trava;
        if (portaTravada)
            QVERIFY(trava.Obtem(simulador.Dispositivo()));

        QProcess enviar;
        enviar.start(qEnvironmentVariable("BIPVOX_ENVIAR"),
                     QStringList{"--banco", ambiente.Diretorio() + "/Pager.Mdb"} + argumentos);
        QVERIFY(enviar.waitForStarted());
        enviar.write(entrada);
        enviar.closeWriteChannel();
        QVERIFY(enviar.waitForFinished(60000));
        const QString erros = QString::fromUtf8(enviar.readAllStandardError());
        QVERIFY2(erros.contains(naSaidaDeErros), qPrintable(erros));
        QCOMPARE(enviar.exitCode(), saida);

        int chamadas = 0;
        int recebidos = 0;
        for (const QJsonObject& r : simulador.Registros()) {
            chamadas += r.value("texto").toString().contains(QRegularExpression("^chamada \\d+: discando"));
            recebidos += r.value("sentido").toString() == QLatin1String("recebido");
        }
        QCOMPARE(chamadas, discagens);
        if (discagens == 0 && paginas.isEmpty())
            QCOMPARE(recebidos, 0);
        QStringList naLinha;
        for (const QJsonObject& p : simulador.Paginas())
            naLinha << p.value("codigo").toString() + ':' + p.value("mensagem").toString();
        QCOMPARE(naLinha, paginas);
        QStringList linhas;
        Snapshot s(QStringLiteral("Select ID_Pager, ID_Usuario, Usuario From Log Order by rowid"));
        for (; !s.Eof(); s.MoveNext())
            linhas << QStringLiteral("%1:%2:%3")
                          .arg(s.Campo("ID_Pager").toString(), s.Campo("ID_Usuario").toString(),
                               s.Campo("Usuario").toString());
        QCOMPARE(linhas, log);
    }
};

QTEST_GUILESS_MAIN(tst_EnviarPelaLinhaDeComando)
#include "tst_EnviarPelaLinhaDeComando.moc"
