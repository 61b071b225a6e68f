// bipvox-criabanco, run as the build and the demo run it.
#include "store/BancoDeDados.h"
#include "store/Snapshot.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Execucao {
    int codigo = -1;
    QString saida;
    QString erros;
};

QByteArray LeBytes(const QString& caminho) {
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}

int ContaLinhas(const QString& tabela) {
    return Snapshot(QStringLiteral("Select * from %1").arg(tabela)).RecordCount();
}

} // namespace

class tst_CriaBanco : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { FechaBancoDeDados(); }

    void criaBancoQueOProgramaAbre_data();
    void criaBancoQueOProgramaAbre();
    void arquivoExistenteFicaIntacto_data();
    void arquivoExistenteFicaIntacto();
    void exemplos();
    void usoIncorreto_data();
    void usoIncorreto();
    void pastaInexistente();
    void ajuda();

private:
    Execucao Roda(const QStringList& argumentos) const;
    QString m_programa;
};

void tst_CriaBanco::initTestCase() {
    m_programa = qEnvironmentVariable("BIPVOX_CRIABANCO");
    if (m_programa.isEmpty())
        QSKIP("BIPVOX_CRIABANCO is not set: run through ctest");
    QVERIFY2(QFile::exists(m_programa),
             qPrintable(m_programa + QStringLiteral(" is missing: build it first")));
}

Execucao tst_CriaBanco::Roda(const QStringList& argumentos) const {
    QProcess processo;
    processo.start(m_programa, argumentos);
    Execucao resultado;
    if (!processo.waitForFinished(60000) || processo.exitStatus() != QProcess::NormalExit)
        return resultado;
    resultado.codigo = processo.exitCode();
    resultado.saida = QString::fromLocal8Bit(processo.readAllStandardOutput());
    resultado.erros = QString::fromLocal8Bit(processo.readAllStandardError());
    return resultado;
}

void tst_CriaBanco::criaBancoQueOProgramaAbre_data() {
    QTest::addColumn<QStringList>("opcoes");
    QTest::newRow("sem opções") << QStringList();
    QTest::newRow("--se-ausente") << QStringList{"--se-ausente"};
}

void tst_CriaBanco::criaBancoQueOProgramaAbre() {
    QFETCH(QStringList, opcoes);
    QTemporaryDir pasta;
    const Execucao execucao = Roda(opcoes << pasta.filePath(QStringLiteral("Pager.Mdb")));
    QCOMPARE(execucao.codigo, 0);
    QCOMPARE(execucao.erros, QString());

    QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()));
    for (const char* tabela : {"Usuarios", "Grupos", "Usuario_Grupo", "Log"})
        QCOMPARE(ContaLinhas(QLatin1String(tabela)), 0);
}

void tst_CriaBanco::arquivoExistenteFicaIntacto_data() {
    QTest::addColumn<QStringList>("opcoes");
    QTest::addColumn<int>("codigo");
    QTest::newRow("sem opções: erro") << QStringList() << 1;
    QTest::newRow("com exemplos: erro") << QStringList{"--exemplos"} << 1;
    QTest::newRow("--se-ausente: nada a fazer") << QStringList{"--se-ausente"} << 0;
    QTest::newRow("--se-ausente com exemplos") << QStringList{"--se-ausente", "--exemplos"} << 0;
}

void tst_CriaBanco::arquivoExistenteFicaIntacto() {
    QFETCH(QStringList, opcoes);
    QFETCH(int, codigo);
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("Pager.Mdb"));
    QCOMPARE(Roda({caminho}).codigo, 0);
    QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()));
    QVERIFY(Executa(QStringLiteral("Insert Into Grupos (Descricao_Grupo, Nome_Grupo) Values (?, ?)"),
                    {QStringLiteral("Quem atende de madrugada."), QStringLiteral("Plantão")}));
    FechaBancoDeDados();
    const QByteArray antes = LeBytes(caminho);

    const Execucao execucao = Roda(opcoes << caminho);
    QCOMPARE(execucao.codigo, codigo);
    if (codigo != 0)
        QVERIFY2(execucao.erros.contains(QStringLiteral("já existe")), qPrintable(execucao.erros));
    else
        QCOMPARE(execucao.erros, QString());
    QCOMPARE(LeBytes(caminho), antes);
}

void tst_CriaBanco::exemplos() {
    QTemporaryDir pasta;
    const Execucao execucao =
        Roda({QStringLiteral("--exemplos"), pasta.filePath(QStringLiteral("Pager.Mdb"))});
    QCOMPARE(execucao.codigo, 0);
    QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()));

    QVERIFY(ContaLinhas(QStringLiteral("Usuarios")) >= 3);
    QVERIFY(ContaLinhas(QStringLiteral("Grupos")) >= 2);
    QCOMPARE(ContaLinhas(QStringLiteral("Log")), 0);
    QCOMPARE(Snapshot(QStringLiteral("Select * from Usuarios Where Nome_Usuario = ?"),
                      {QStringLiteral("Pedro D'Ávila")})
                 .RecordCount(),
             1);

    // Pager codes are unique, and every membership joins an existing user to an existing group.
    QSet<QString> pagers;
    QSet<qint64> usuarios;
    for (Snapshot lista(QStringLiteral("Select * from Usuarios")); !lista.Eof(); lista.MoveNext()) {
        pagers.insert(lista.Campo(QStringLiteral("ID_Pager")).toString());
        usuarios.insert(lista.Campo(QStringLiteral("ID_Usuario")).toLongLong());
    }
    QCOMPARE(pagers.size(), usuarios.size());
    for (Snapshot grupos(QStringLiteral("Select * from Grupos")); !grupos.Eof(); grupos.MoveNext()) {
        Snapshot membros(QStringLiteral("Select ID_Usuario From Usuario_Grupo Where ID_Grupo = ?"),
                         {grupos.Campo(QStringLiteral("ID_Grupo"))});
        QVERIFY2(!membros.Eof(), qPrintable(grupos.Campo(QStringLiteral("Nome_Grupo")).toString()));
        for (; !membros.Eof(); membros.MoveNext())
            QVERIFY(usuarios.contains(membros.Campo(QStringLiteral("ID_Usuario")).toLongLong()));
    }
    QCOMPARE(Snapshot(QStringLiteral(
                          "Select * from Usuario_Grupo Where ID_Grupo Not In (Select ID_Grupo from Grupos)"))
                 .RecordCount(),
             0);
}

void tst_CriaBanco::usoIncorreto_data() {
    QTest::addColumn<QStringList>("argumentos");
    QTest::newRow("sem arquivo") << QStringList{"--se-ausente"};
    QTest::newRow("dois arquivos") << QStringList{"A.Mdb", "B.Mdb"};
    QTest::newRow("opção desconhecida") << QStringList{"--forca", "A.Mdb"};
}

void tst_CriaBanco::usoIncorreto() {
    QFETCH(QStringList, argumentos);
    QTemporaryDir pasta;
    for (QString& argumento : argumentos)
        if (!argumento.startsWith(QLatin1Char('-')))
            argumento = pasta.filePath(argumento);
    const Execucao execucao = Roda(argumentos);
    QCOMPARE(execucao.codigo, 2);
    QVERIFY(execucao.erros.contains(QStringLiteral("--help")));
    QCOMPARE(QDir(pasta.path()).entryList(QDir::Files), QStringList());
}

void tst_CriaBanco::pastaInexistente() {
    QTemporaryDir pasta;
    const Execucao execucao = Roda({pasta.filePath(QStringLiteral("não existe/Pager.Mdb"))});
    QCOMPARE(execucao.codigo, 1);
    QVERIFY2(execucao.erros.contains(QStringLiteral("Não foi possível criar")), qPrintable(execucao.erros));
}

void tst_CriaBanco::ajuda() {
    const Execucao execucao = Roda({QStringLiteral("--help")});
    QCOMPARE(execucao.codigo, 0);
    QVERIFY(execucao.saida.startsWith(QStringLiteral("Uso: bipvox-criabanco")));
    QVERIFY(execucao.saida.contains(QStringLiteral("--se-ausente")));
    QVERIFY(execucao.saida.contains(QStringLiteral("--exemplos")));
}

QTEST_GUILESS_MAIN(tst_CriaBanco)
#include "tst_CriaBanco.moc"
