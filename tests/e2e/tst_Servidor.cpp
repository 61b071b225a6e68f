// bipvox-servidor and bipvox-enviar --fila as separate processes against bipvox-simulador on a
// pseudo-terminal: three submitters at once with a busy line on the first dial, and a service
// killed with a block on the line.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "SimuladorExterno.h"
#include "fila/FilaDeEnvio.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <csignal>

namespace {

// Starts a program of the build (BIPVOX_ENVIAR, BIPVOX_SERVIDOR) with these arguments.
// On a server, the programs find the store through the settings' [BANCO], as a desk's do.
std::unique_ptr<QProcess> Roda(const char* variavel, QStringList argumentos) {
    const int banco = argumentos.indexOf("--banco");
    if (TesteNoPostgreSQL() && banco >= 0)
        argumentos.remove(banco, 2);
    auto p = std::make_unique<QProcess>();
    p->start(qEnvironmentVariable(variavel), argumentos);
    p->waitForStarted(5000);
    return p;
}

// Waits for the service's log (read into registro) to hold the text.
bool Espera(QProcess& servidor, QString& registro, const QString& texto) {
    QDeadlineTimer prazo(30000);
    while (!registro.contains(texto) && !prazo.hasExpired() && servidor.state() == QProcess::Running) {
        servidor.waitForReadyRead(50);
        registro += QString::fromUtf8(servidor.readAllStandardError());
    }
    return registro.contains(texto);
}

// The page numbers a finished bipvox-enviar --fila printed.
QVector<qint64> Numeros(QProcess& p) {
    QVector<qint64> ids;
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return ids;
    for (const QByteArray& linha : p.readAllStandardOutput().split('\n'))
        if (!linha.isEmpty())
            ids << linha.toLongLong();
    return ids;
}

QStringList Codigos(const SimuladorExterno& simulador) {
    QStringList codigos;
    for (const QJsonObject& p : simulador.Paginas())
        codigos << p.value("codigo").toString() + ':' + p.value("veredito").toString();
    codigos.sort();
    return codigos;
}

struct Cena {
    AmbienteDeTeste ambiente;
    QString banco = ambiente.Diretorio() + "/Pager.Mdb";
    QString registro;
    bool Prepara() {
        const bool ok = ambiente.AbreBancoVazio();
        CadastraGrupo("Plantão", {CadastraUsuario("Ana Souza", "1111"), CadastraUsuario("Beatriz", "2222"),
                                  CadastraUsuario("Carlos", "3333")});
        GravaINI("MODEM", "Porta Serial", "1");
        GravaINI("FILA", "Intervalos", "0.02"); // 1.2 s between attempts
        return ok;
    }
    bool Simula(SimuladorExterno& simulador, const QString& opcao) {
        const bool ok =
            simulador.Inicia({opcao, "--silencioso", "--atraso-discagem=0.1", "--guarda-escape=0.05"});
        GravaINI("MODEM", "COM1", simulador.Dispositivo());
        return ok;
    }
    std::unique_ptr<QProcess> Servidor() {
        auto s = Roda("BIPVOX_SERVIDOR", {"--banco", banco});
        return Espera(*s, registro, "serviço da fila iniciado") ? std::move(s) : nullptr;
    }
    // SIGTERM: the exit status of a service that ended cleanly, -1 otherwise.
    int Termina(QProcess& servidor) {
        ::kill(pid_t(servidor.processId()), SIGTERM);
        const bool fim = servidor.waitForFinished(20000);
        registro += QString::fromUtf8(servidor.readAllStandardError());
        return fim && servidor.exitStatus() == QProcess::NormalExit ? servidor.exitCode() : -1;
    }
};

int LinhasDoLog() {
    return Snapshot("Select Count(*) As N From Log").Campo("N").toInt();
}

bool EsperaLog(int linhas) {
    QDeadlineTimer prazo(60000);
    while (LinhasDoLog() < linhas && !prazo.hasExpired())
        QTest::qWait(50);
    QTest::qWait(300); // a page sent twice would show by now
    return LinhasDoLog() == linhas;
}

} // namespace

class tst_Servidor : public QObject {
    Q_OBJECT
private slots:
    // Every page reaches the terminal once and has its Log row, as a window send writes it.
    void tresRemetentesEOcupado() {
        Cena c;
        QVERIFY(c.Prepara());
        SimuladorExterno simulador;
        QVERIFY(c.Simula(simulador, "--discagem=ocupado,conecta"));
        const auto servidor = c.Servidor();
        QVERIFY2(servidor, qPrintable(c.registro));
        const QStringList fila{"--banco", c.banco, "--fila"};
        const auto ana = Roda("BIPVOX_ENVIAR", fila + QStringList{"--usuario", "Ana Souza", "db1 caiu"});
        const auto grupo = Roda("BIPVOX_ENVIAR", fila + QStringList{"--grupo", "Plantão", "db1 caiu"});
        const auto vigia =
            Roda("BIPVOX_ENVIAR", fila + QStringList{"--pager", "9999", "--nome", "Vigia", "db1 caiu"});
        const QVector<qint64> ids = Numeros(*ana) + Numeros(*grupo) + Numeros(*vigia);
        QCOMPARE(ids.size(), 5);

        QVERIFY2(EsperaLog(5), qPrintable(c.registro));
        QCOMPARE(c.Termina(*servidor), 0);
        simulador.Para();
        QVERIFY(c.registro.contains("ocupada"));
        QCOMPARE(Codigos(simulador),
                 (QStringList{"1111:aceita", "1111:aceita", "2222:aceita", "3333:aceita", "9999:aceita"}));
        QCOMPARE(Coluna("Select ID_Pager || ':' || ID_Usuario || ':' || Usuario || ':' || Mensagem As L "
                        "From Log Order By ID_Pager, length(Usuario)"),
                 (QStringList{"1111:1:Ana Souza:db1 caiu",
                              "1111:1:" + QString("Ana Souza").leftJustified(50) + ":db1 caiu",
                              "2222:2:Beatriz:db1 caiu", "3333:3:Carlos:db1 caiu",
                              "9999:0:" + QString("Vigia").leftJustified(50) + ":db1 caiu"}));
        const auto situacao =
            Roda("BIPVOX_ENVIAR", {"--banco", c.banco, "--situacao", QString::number(ids[4]), "999"});
        QVERIFY(situacao->waitForFinished(10000));
        QCOMPARE(situacao->exitCode(), 3); // 999 is not in the queue
        const QString linha = QString::fromUtf8(situacao->readAllStandardOutput());
        QVERIFY2(
            QRegularExpression(QString("^%1\tentregue\t[12]\t-\t\n$").arg(ids[4])).match(linha).hasMatch(),
            qPrintable(linha));
    }

    // One service delivers a store's queue: a second one on this machine finds the first one's lock
    // file; on a server, one on another machine (a lock folder of its own) finds the server's
    // lock. Neither starts, nor touches the first one's pages.
    void umServicoPorFila() {
        Cena c;
        QVERIFY(c.Prepara());
        const auto servidor = c.Servidor();
        QVERIFY2(servidor, qPrintable(c.registro));
        const QByteArray travas = qgetenv("BIPVOX_TRAVAS");
        if (TesteNoPostgreSQL())
            qputenv("BIPVOX_TRAVAS", travas + "-noutra-maquina");
        const auto segundo = Roda("BIPVOX_SERVIDOR", {"--banco", c.banco});
        qputenv("BIPVOX_TRAVAS", travas);
        QVERIFY(segundo->waitForFinished(20000));
        QCOMPARE(segundo->exitCode(), 4);
        const QString registro = QString::fromUtf8(segundo->readAllStandardError());
        QVERIFY2(registro.contains(TesteNoPostgreSQL() ? "noutra máquina" : "já entrega esta fila"),
                 qPrintable(registro));
        QCOMPARE(c.Termina(*servidor), 0);
    }

    // Killed while the terminal has not answered the second block, the third page already marked
    // to follow it: both become "incerta" at the next start and neither is sent again; a page
    // not yet marked goes out.
    void mortoComBlocoNaLinha() {
        Cena c;
        QVERIFY(c.Prepara());
        QVector<qint64> ids =
            Numeros(*Roda("BIPVOX_ENVIAR", {"--banco", c.banco, "--fila", "--grupo", "Plantão", "oi"}));
        ids += Numeros(*Roda("BIPVOX_ENVIAR", {"--banco", c.banco, "--fila", "--pager", "9999", "oi"}));
        QCOMPARE(ids.size(), 4);
        SimuladorExterno primeiro;
        QVERIFY(c.Simula(primeiro, "--mudo-na-pagina=2"));
        {
            const auto servidor = c.Servidor();
            QVERIFY(servidor);
            // The first page is written while the second block is on the line.
            QDeadlineTimer prazo(30000);
            while ((primeiro.Paginas().size() < 2 || LinhasDoLog() < 1) && !prazo.hasExpired())
                QTest::qWait(20);
            servidor->kill();
            QVERIFY(servidor->waitForFinished(5000));
        }
        primeiro.Para();
        QCOMPARE(Fila::LePagina(ids[1])->situacao, Fila::Situacao::Enviando);
        QCOMPARE(Fila::LePagina(ids[2])->situacao, Fila::Situacao::Enviando);

        // The modem the killed service left in a call has hung up; a fresh one stands in.
        SimuladorExterno segundo;
        QVERIFY(c.Simula(segundo, "--discagem=conecta"));
        const auto servidor = c.Servidor();
        QVERIFY(servidor);
        QVERIFY2(EsperaLog(2) && Espera(*servidor, c.registro, "chamada encerrada"), qPrintable(c.registro));
        QCOMPARE(c.Termina(*servidor), 0);
        segundo.Para();
        QCOMPARE(Codigos(primeiro) + Codigos(segundo),
                 (QStringList{"1111:aceita", "2222:sem-resposta", "9999:aceita"}));
        QCOMPARE(Coluna("Select ID_Pager As L From Fila Where Situacao = 'incerta'"),
                 (QStringList{"2222", "3333"}));
        QVERIFY(c.registro.contains("2 página(s) ficaram na linha"));
    }

    // Real SNPP clients, none written here, page through the gateway: queued with their source,
    // delivered to the terminal, each with its Log row. %1 is the SNPP port.
    void clientesSNPP_data() {
        QTest::addColumn<QStringList>("comando");
        QTest::addColumn<QStringList>("codigos");
        QTest::newRow("Net::SNPP, grupo e código")
            << QStringList{"perl", "-MNet::SNPP", "-e",
                           "$s = Net::SNPP->new('127.0.0.1', Port => %1) or die 'sem conexão';"
                           "$s->send(Pager => ['Plantão', '9999'], Message => 'db1 caiu') or die $s->message;"
                           "$s->quit"}
            << QStringList{"1111:aceita", "2222:aceita", "3333:aceita", "9999:aceita"};
        QTest::newRow("sendpage do HylaFAX, usuário")
            << QStringList{"sendpage", "-h", "127.0.0.1:%1", "-p", "Ana Souza", "db1 caiu"}
            << QStringList{"1111:aceita"};
    }
    // A call waiting for the terminal's answer (mute on its first page) holds the service's own
    // thread: an SNPP client is answered meanwhile, its page queued.
    void snppDuranteAChamada() {
        Cena c;
        QVERIFY(c.Prepara());
        QCOMPARE(
            Numeros(*Roda("BIPVOX_ENVIAR", {"--banco", c.banco, "--fila", "--pager", "1111", "oi"})).size(),
            1);
        QTcpServer livre;
        QVERIFY(livre.listen(QHostAddress::LocalHost));
        const quint16 porta = livre.serverPort();
        livre.close();
        GravaINI("SNPP", "Porta", QString::number(porta));
        SimuladorExterno simulador;
        QVERIFY(c.Simula(simulador, "--mudo-na-pagina=1"));
        const auto servidor = c.Servidor();
        QVERIFY(servidor && Espera(*servidor, c.registro, "SNPP em"));
        QTcpSocket cliente;
        cliente.connectToHost(QHostAddress::LocalHost, porta);
        const auto linha = [&cliente] {
            while (!cliente.canReadLine() && cliente.waitForReadyRead(3000)) {
            }
            return cliente.readLine().left(3);
        };
        cliente.write("PAGE 2222\r\nMESS tchau\r\n");
        for (const char* codigo : {"220", "250", "250"})
            QCOMPARE(linha(), QByteArray(codigo));
        QDeadlineTimer prazo(20000);
        while (simulador.Paginas().isEmpty() && !prazo.hasExpired())
            QTest::qWait(20);
        cliente.write("SEND\r\n");
        QCOMPARE(linha(), QByteArray("250"));
        c.registro += QString::fromUtf8(servidor->readAllStandardError());
        QVERIFY2(!c.registro.contains("chamada encerrada"), qPrintable(c.registro));
        QCOMPARE(Fila::LePagina(2)->origem, QString("SNPP 127.0.0.1"));
        QCOMPARE(c.Termina(*servidor), 0);
    }

    void clientesSNPP() {
        QFETCH(QStringList, comando);
        QFETCH(QStringList, codigos);
        Cena c;
        QVERIFY(c.Prepara());
        QTcpServer livre;
        QVERIFY(livre.listen(QHostAddress::LocalHost));
        const QString porta = QString::number(livre.serverPort());
        livre.close();
        GravaINI("SNPP", "Porta", porta);
        SimuladorExterno simulador;
        QVERIFY(c.Simula(simulador, "--discagem=conecta"));
        const auto servidor = c.Servidor();
        QVERIFY2(servidor && Espera(*servidor, c.registro, "SNPP em 127.0.0.1 porta " + porta),
                 qPrintable(c.registro));
        QProcess cliente;
        cliente.start(comando[0], comando.mid(1).replaceInStrings("%1", porta));
        QVERIFY2(cliente.waitForFinished(20000) && cliente.exitCode() == 0,
                 qPrintable(comando[0] + ": " + cliente.errorString() + cliente.readAllStandardError()));
        QVERIFY2(EsperaLog(codigos.size()), qPrintable(c.registro));
        QCOMPARE(c.Termina(*servidor), 0);
        simulador.Para();
        QCOMPARE(Codigos(simulador), codigos);
        // The history names the client as the queue does.
        QStringList fila;
        for (Snapshot s("Select Situacao || ':' || Origem As L From Fila Union All "
                        "Select Situacao || ':' || Origem From Log");
             !s.Eof(); s.MoveNext())
            fila << s.Campo("L").toString();
        QCOMPARE(fila.size(), 2 * codigos.size());
        QCOMPARE(fila.filter(QRegularExpression("^entregue:SNPP 127\\.0\\.0\\.1( \\S+)?$")).size(),
                 2 * codigos.size());
    }
};

QTEST_GUILESS_MAIN(tst_Servidor)
#include "tst_Servidor.moc"
