// A database file whose header marks it as written by a newer SQLite is refused at opening,
// like any write-protected file, instead of failing at every history write later.
#include "store/BancoDeDados.h"
#include "store/Esquema.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TstCabecalhoDoBanco : public QObject {
    Q_OBJECT
private slots:
    void versaoDeEscrita_data() {
        QTest::addColumn<char>("versao");
        QTest::addColumn<bool>("abre");
        QTest::newRow("diário clássico") << char(1) << true;
        QTest::newRow("só leitura") << char(3) << false;
    }
    void versaoDeEscrita() {
        QFETCH(char, versao);
        QFETCH(bool, abre);
        QTemporaryDir dir;
        const QString caminho = dir.filePath(QStringLiteral("Pager.Mdb"));
        QVERIFY(CriaBancoVazio(caminho));
        QFile arquivo(caminho);
        QVERIFY(arquivo.open(QIODevice::ReadWrite) && arquivo.seek(18));
        arquivo.write(QByteArray(1, versao));
        arquivo.close();
        QCOMPARE(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), dir.path()), abre);
        FechaBancoDeDados();
    }
};

QTEST_GUILESS_MAIN(TstCabecalhoDoBanco)
#include "tst_CabecalhoDoBanco.moc"
