// Directory lists read the quick way: the NOME order and identifiers kept beside the names.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/ListaDeNomes.h"

#include <QtTest>

class tst_ListaDeNomes : public QObject {
    Q_OBJECT

private slots:
    void ordemDosNomes_data() {
        QTest::addColumn<QStringList>("cadastrados");
        QTest::addColumn<QStringList>("esperados");
        QTest::newRow("acentos ao lado") << QStringList{"Bruno", "Alberto", "Álvaro", "Alice"}
                                         << QStringList{"Alberto", "Alice", "Álvaro", "Bruno"};
        QTest::newRow("maiúsculas não contam") << QStringList{"beatriz", "Ana", "CARLOS", "ana"}
                                               << QStringList{"Ana", "ana", "beatriz", "CARLOS"};
        QTest::newRow("aspas e apóstrofos")
            << QStringList{"O'Neil", "\"Zé\"", "D'Ávila"} << QStringList{"\"Zé\"", "D'Ávila", "O'Neil"};
    }
    void ordemDosNomes() {
        QFETCH(QStringList, cadastrados);
        QFETCH(QStringList, esperados);
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        QHash<QString, qint32> ids;
        for (const QString& nome : cadastrados)
            ids.insert(nome, CadastraUsuario(nome, QStringLiteral("123")));

        const ListaDeNomes lista = LeListaDeNomesEmOrdem(Consultas::IdsENomesDosUsuarios);
        QVERIFY2(lista.erro.isEmpty(), qPrintable(lista.erro));
        QCOMPARE(lista.nomes, esperados);
        for (int i = 0; i < lista.nomes.size(); ++i)
            QCOMPARE(lista.IdNoIndice(i), ids.value(lista.nomes[i]));
    }

    void parametrosEErros_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("parametros");
        QTest::addColumn<QStringList>("esperados"); // empty: an error is expected
        const QString porNome =
            QStringLiteral("Select ID_Usuario, Nome_Usuario From Usuarios Where Nome_Usuario = ?");
        QTest::newRow("texto com apóstrofo")
            << porNome << QVariantList{QStringLiteral("o'neil")} << QStringList{"O'Neil"};
        QTest::newRow("número") << QStringLiteral(
                                       "Select ID_Usuario, Nome_Usuario From Usuarios Where ID_Usuario > ?")
                                << QVariantList{1} << QStringList{"O'Neil"};
        QTest::newRow("tabela inexistente")
            << QStringLiteral("Select a, b From Nenhuma") << QVariantList{} << QStringList{};
        QTest::newRow("uma coluna só")
            << QStringLiteral("Select Nome_Usuario From Usuarios") << QVariantList{} << QStringList{};
    }
    void parametrosEErros() {
        QFETCH(QString, sql);
        QFETCH(QVariantList, parametros);
        QFETCH(QStringList, esperados);
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        QVERIFY(CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1")) > 0);
        QVERIFY(CadastraUsuario(QStringLiteral("O'Neil"), QStringLiteral("2")) > 0);
        const ListaDeNomes lista = LeListaDeNomesEmOrdem(sql, parametros);
        QCOMPARE(lista.nomes, esperados);
        QCOMPARE(lista.erro.isEmpty(), !esperados.isEmpty());
        FechaBancoDeDados();
        QVERIFY(!LeListaDeNomes(sql, parametros).erro.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ListaDeNomes)
#include "tst_ListaDeNomes.moc"
