// bipvox-criabanco, run as the build and the demo run it.
#include "CadastroDeTeste.h"
#include "store/BancoDeDados.h"
#include "store/Snapshot.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray Bytes(const QString& caminho) {
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}
int Linhas(const char* tabela) {
    return Snapshot(QStringLiteral("Select * From ") + QLatin1String(tabela)).RecordCount();
}
} // namespace

class tst_CriaBanco : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { FechaBancoDeDados(); }

    void execucao_data() {
        QTest::addColumn<QStringList>("argumentos"); // "{}" stands for Pager.Mdb in a private folder
        QTest::addColumn<bool>("existente");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("mensagem"); // part of what is printed
        QTest::newRow("cria") << QStringList{"{}"} << false << 0 << "";
        QTest::newRow("exemplos") << QStringList{"--exemplos", "{}"} << false << 0 << "";
        QTest::newRow("existente é erro") << QStringList{"--exemplos", "{}"} << true << 1 << "já existe";
        QTest::newRow("--se-ausente com existente") << QStringList{"--se-ausente", "{}"} << true << 0 << "";
        QTest::newRow("pasta inexistente")
            << QStringList{"{}/não existe/Pager.Mdb"} << false << 1 << "Não foi possível criar";
        QTest::newRow("dois arquivos") << QStringList{"{}", "B.Mdb"} << false << 2 << "--help";
        QTest::newRow("opção desconhecida") << QStringList{"--forca", "{}"} << false << 2 << "--help";
        QTest::newRow("ajuda") << QStringList{"--help"} << false << 0 << "Uso: bipvox-criabanco";
    }
    void execucao() {
        QFETCH(QStringList, argumentos);
        QFETCH(bool, existente);
        QFETCH(int, codigo);
        QFETCH(QString, mensagem);
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath(QStringLiteral("Pager.Mdb"));
        if (existente) {
            QCOMPARE(QProcess::execute(qEnvironmentVariable("BIPVOX_CRIABANCO"), {caminho}), 0);
            QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()));
            QVERIFY(CadastraGrupo(QStringLiteral("Plantão")) > 0);
            FechaBancoDeDados();
        }
        const QByteArray antes = Bytes(caminho);
        for (QString& a : argumentos)
            a.replace(QLatin1String("{}/"), pasta.path() + QLatin1Char('/'))
                .replace(QLatin1String("{}"), caminho);
        QProcess p;
        p.start(qEnvironmentVariable("BIPVOX_CRIABANCO"), argumentos);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), codigo);
        QVERIFY(
            QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput()).contains(mensagem));
        if (existente || codigo != 0) {
            QCOMPARE(Bytes(caminho), antes); // nothing existing is ever touched
            return;
        }
        if (argumentos.contains(QStringLiteral("--help")))
            return;
        QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()));
        QCOMPARE(Linhas("Log"), 0);
        if (!argumentos.contains(QStringLiteral("--exemplos"))) {
            QCOMPARE(Linhas("Usuarios") + Linhas("Grupos") + Linhas("Usuario_Grupo"), 0);
            return;
        }
        QVERIFY(Linhas("Usuarios") >= 3 && Linhas("Grupos") >= 2);
        QCOMPARE(Snapshot(QStringLiteral("Select * From Usuarios Where Nome_Usuario = 'Pedro D''Ávila'"))
                     .RecordCount(),
                 1);
        // Every membership joins an existing user to an existing group; pager codes are unique.
        QCOMPARE(Linhas("Usuario_Grupo Where ID_Usuario Not In (Select ID_Usuario From Usuarios) Or ID_Grupo "
                        "Not In (Select ID_Grupo From Grupos)"),
                 0);
        QCOMPARE(Linhas("Usuarios Group By ID_Pager"), Linhas("Usuarios"));
    }
};

QTEST_GUILESS_MAIN(tst_CriaBanco)
#include "tst_CriaBanco.moc"
