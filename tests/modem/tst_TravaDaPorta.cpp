// The port lock: kept in the folder the environment names, taken over from whatever a dead
// holder left at its path, never taken from a live holder however old its lock.
#include "AmbienteDeTeste.h"
#include "modem/TravaDaPorta.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {
const QString kDispositivo = QStringLiteral("/dev/null");
} // namespace

class tst_TravaDaPorta : public QObject {
    Q_OBJECT
private slots:
    void obtem_data() {
        QTest::addColumn<QString>("aoLado"); // what lies at the lock's path before
        QTest::addColumn<bool>("obtida");
        QTest::newRow("nada: na pasta de BIPVOX_TRAVAS") << "nada" << true;
    }
    void obtem() {
        QFETCH(QString, aoLado);
        QFETCH(bool, obtida);
        AmbienteDeTeste ambiente;
        const QString pasta = ambiente.Diretorio() + QStringLiteral("/travas");
        const QString arquivo = ArquivoDaTrava(kDispositivo);
        QCOMPARE(QFileInfo(arquivo).absolutePath(), pasta);
        TravaDaPorta trava;
        QCOMPARE(trava.Obtem(kDispositivo), obtida);
        QVERIFY(QFileInfo(arquivo).isFile());
    }
};

QTEST_GUILESS_MAIN(tst_TravaDaPorta)
#include "tst_TravaDaPorta.moc"
