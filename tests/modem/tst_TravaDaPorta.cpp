// The port lock: kept in the folder the environment names, taken over from whatever a dead
// holder left at its path, never taken from a live holder however old its lock.
#include "AmbienteDeTeste.h"
#include "modem/TravaDaPorta.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kDispositivo = QStringLiteral("/dev/null");
const char kObtemComoNinguem[] = "--obtem-como-ninguem";
constexpr uid_t kNinguem = 65534;

void Grava(const QString& caminho, const QByteArray& conteudo) {
    QFile arquivo(caminho);
    QVERIFY(arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    arquivo.write(conteudo);
}
} // namespace

class tst_TravaDaPorta : public QObject {
    Q_OBJECT
private slots:
    void obtem_data() {
        QTest::addColumn<QString>("aoLado"); // what lies at the lock's path before
        QTest::addColumn<bool>("obtida");
        QTest::newRow("nada: na pasta de BIPVOX_TRAVAS") << "nada" << true;
        QTest::newRow("arquivo vazio") << "vazio" << true;
        QTest::newRow("lixo") << "lixo" << true;
        QTest::newRow("trava de um processo morto") << "morto" << true;
        QTest::newRow("link pendente, nunca seguido") << "link pendente" << true;
        QTest::newRow("link para um arquivo, nunca seguido") << "link" << true;
        QTest::newRow("pasta com um arquivo, guardada ao lado") << "pasta" << true;
        QTest::newRow("de outro usuário, 0644, dono morto") << "outro usuário" << true;
        QTest::newRow("viva há uma hora") << "viva" << false;
        QTest::newRow("viva, o arquivo nomeando um morto") << "viva, nome falso" << false;
    }
    void obtem() {
        QFETCH(QString, aoLado);
        QFETCH(bool, obtida);
        AmbienteDeTeste ambiente;
        const QString pasta = ambiente.Diretorio() + QStringLiteral("/travas");
        QVERIFY(QDir().mkpath(pasta));
        const QString arquivo = ArquivoDaTrava(kDispositivo);
        QCOMPARE(QFileInfo(arquivo).absolutePath(), pasta);
        const QString alvo = ambiente.Diretorio() + QStringLiteral("/alvo");
        TravaDaPorta viva;
        if (aoLado == QLatin1String("vazio"))
            Grava(arquivo, {});
        else if (aoLado == QLatin1String("lixo"))
            Grava(arquivo, "\x01\xff lixo sem fim de linha");
        else if (aoLado == QLatin1String("morto") || aoLado == QStringLiteral("outro usuário"))
            Grava(arquivo, "2147483646\nbipvox-enviar\nmaquina\n");
        else if (aoLado == QLatin1String("link pendente"))
            QVERIFY(QFile::link(alvo, arquivo));
        else if (aoLado == QLatin1String("link")) {
            Grava(alvo, "intacto");
            QVERIFY(QFile::link(alvo, arquivo));
        } else if (aoLado == QLatin1String("pasta")) {
            QVERIFY(QDir().mkpath(arquivo));
            Grava(arquivo + QStringLiteral("/guardado"), "x");
        } else if (aoLado.startsWith(QLatin1String("viva"))) {
            QVERIFY(viva.Obtem(kDispositivo));
            if (aoLado.endsWith(QLatin1String("falso")))
                Grava(arquivo, "2147483646\nfalso\n");
            QFile antigo(arquivo);
            QVERIFY(antigo.open(QIODevice::ReadOnly));
            QVERIFY(antigo.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                       QFileDevice::FileModificationTime));
        }

        if (aoLado == QStringLiteral("outro usuário")) {
            // Taken by an unprivileged user from root's file, in a shared folder where only the
            // owner may remove it, as /run/lock is.
            if (::geteuid() != 0)
                QSKIP("trocar de usuário pede root");
            QVERIFY(QFile::setPermissions(ambiente.Diretorio(),
                                          QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ExeOther));
            QVERIFY(::chmod(QFile::encodeName(pasta).constData(), 01777) == 0);
            QVERIFY(::chmod(QFile::encodeName(arquivo).constData(), 0644) == 0);
            QProcess outro;
            outro.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNinguem) != 0 || ::setuid(kNinguem) != 0)
                    ::_exit(3);
            });
            outro.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kObtemComoNinguem)});
            QVERIFY(outro.waitForFinished(10000));
            QVERIFY2(outro.exitCode() == 0, outro.readAllStandardError().constData());
            return;
        }

        TravaDaPorta trava;
        QCOMPARE(trava.Obtem(kDispositivo), obtida);
        QCOMPARE(trava.Ocupada(), !obtida);
        const QFileInfo info(arquivo);
        QVERIFY(info.isFile() && !info.isSymLink());
        if (!obtida) {
            // The real holder is named, not what the file says.
            const QString motivo = trava.Motivo();
            QVERIFY2(
                motivo.startsWith(QStringLiteral("em uso por outro programa do Bipvox (modem_tst_Trava")) &&
                    motivo.endsWith(QStringLiteral(", processo %1)").arg(QCoreApplication::applicationPid())),
                qPrintable(motivo));
            viva.Libera();
            QVERIFY(trava.Obtem(kDispositivo));
            return;
        }
        QVERIFY(info.permissions().testFlag(QFileDevice::WriteOther));
        QFile conteudo(arquivo);
        QVERIFY(conteudo.open(QIODevice::ReadOnly));
        QCOMPARE(conteudo.readLine().trimmed().toLongLong(), QCoreApplication::applicationPid());
        if (aoLado.startsWith(QLatin1String("link"))) { // the target kept, a dangling one not made
            QFile a(alvo);
            QCOMPARE(a.open(QIODevice::ReadOnly), aoLado == QLatin1String("link"));
            QCOMPARE(a.readAll(), aoLado == QLatin1String("link") ? QByteArray("intacto") : QByteArray());
        }
        if (aoLado == QLatin1String("pasta")) {
            const QStringList aoLadoDela = QDir(pasta).entryList(
                {QFileInfo(arquivo).fileName() + QStringLiteral(".pasta-*")}, QDir::Dirs);
            QCOMPARE(aoLadoDela.size(), 1);
            QVERIFY(QFile::exists(pasta + QLatin1Char('/') + aoLadoDela[0] + QStringLiteral("/guardado")));
        }
        // Two holders never: a second taker in this same process is refused until release.
        TravaDaPorta segunda;
        QVERIFY(!segunda.Obtem(kDispositivo) && segunda.Ocupada());
        trava.Libera();
        QVERIFY(segunda.Obtem(kDispositivo));
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], kObtemComoNinguem) == 0) {
        TravaDaPorta trava;
        if (trava.Obtem(kDispositivo))
            return 0;
        std::fputs(qPrintable(trava.Motivo()), stderr);
        return 1;
    }
    tst_TravaDaPorta teste;
    return QTest::qExec(&teste, argc, argv);
}
#include "tst_TravaDaPorta.moc"
