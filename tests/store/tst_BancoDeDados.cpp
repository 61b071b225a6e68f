// Opening Pager.Mdb, the NOME collation, counters, values with quotes, snapshots and Log rows.
#include "AmbienteDeTeste.h"

#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

namespace {

// The program's tables as a plain SQLite tool would write them, without the NOME collation.
const char* const TabelasSemColacao = "CREATE TABLE Usuarios (ID_Usuario INTEGER PRIMARY KEY AUTOINCREMENT, "
                                      "Nome_Usuario TEXT, ID_Pager TEXT, Descricao TEXT, Data_Cadastro TEXT);"
                                      "CREATE TABLE Grupos (ID_Grupo INTEGER PRIMARY KEY AUTOINCREMENT, "
                                      "Nome_Grupo TEXT, Descricao_Grupo TEXT);"
                                      "CREATE TABLE Usuario_Grupo (ID_Usuario INTEGER, ID_Grupo INTEGER);";
const char* const TabelaLog = "CREATE TABLE Log (Data TEXT, Hora TEXT, Usuario TEXT, Mensagem TEXT, "
                              "ID_Pager TEXT, ID_Usuario INTEGER);";

bool CriaSQLite(const QString& caminho, const QByteArray& sql) {
    sqlite3* handle = nullptr;
    bool ok = sqlite3_open(caminho.toUtf8().constData(), &handle) == SQLITE_OK &&
              sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(handle);
    return ok;
}

bool EscreveBytes(const QString& caminho, const QByteArray& bytes) {
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::WriteOnly) && arquivo.write(bytes) == bytes.size();
}

QByteArray BytesAleatorios(int tamanho) {
    QRandomGenerator gerador(1998);
    QByteArray bytes(tamanho, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(gerador.bounded(256));
    return bytes;
}

QByteArray LeBytes(const QString& caminho) {
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}

// Builds the file of one opening case; false when the fixture itself could not be written.
bool PreparaArquivo(const QString& caminho, const QString& tipo) {
    if (tipo == QLatin1String("ausente"))
        return true;
    if (tipo == QLatin1String("vazio"))
        return EscreveBytes(caminho, {});
    if (tipo == QLatin1String("aleatorio"))
        return EscreveBytes(caminho, BytesAleatorios(4096));
    if (tipo == QLatin1String("texto"))
        return EscreveBytes(caminho, "Usuarios;Grupos;Usuario_Grupo;Log\r\n");
    if (tipo == QLatin1String("access"))
        return EscreveBytes(caminho,
                            QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(2028, '\0'));
    if (tipo == QLatin1String("cabecalho_e_lixo"))
        return EscreveBytes(caminho, QByteArray("SQLite format 3\0", 16) + BytesAleatorios(4080));
    if (tipo == QLatin1String("sem_tabelas"))
        return CriaSQLite(caminho, "PRAGMA user_version = 7;");
    if (tipo == QLatin1String("outras_tabelas"))
        return CriaSQLite(caminho, "CREATE TABLE Clientes (Id INTEGER, Nome TEXT);");
    if (tipo == QLatin1String("sem_log"))
        return CriaSQLite(caminho, TabelasSemColacao);
    if (tipo == QLatin1String("sem_coluna"))
        return CriaSQLite(caminho, QByteArray(TabelasSemColacao).replace("ID_Pager TEXT, ", "") + TabelaLog);
    if (tipo == QLatin1String("sem_colacao"))
        return CriaSQLite(caminho, QByteArray(TabelasSemColacao) + TabelaLog);
    if (tipo == QLatin1String("truncado")) {
        if (!CriaBancoVazio(caminho))
            return false;
        QFile arquivo(caminho);
        return arquivo.resize(arquivo.size() / 2);
    }
    if (tipo == QLatin1String("valido"))
        return CriaBancoVazio(caminho);
    return false;
}

int ContaLinhas(const QString& tabela) {
    Snapshot linhas(QStringLiteral("Select * from %1").arg(tabela));
    return linhas.RecordCount();
}

QVariant InsereUsuario(const QString& nome, const QString& pager = QStringLiteral("1234567")) {
    if (!Executa(QStringLiteral("Insert Into Usuarios (Descricao, ID_Pager, Data_Cadastro, Nome_Usuario) "
                                "Values (?, ?, ?, ?)"),
                 {QStringLiteral("Não há descrição para este usuário."), pager, QStringLiteral("03/12/1998"),
                  nome}))
        return {};
    Snapshot ultimo(QStringLiteral("Select max(ID_Usuario) As Id from Usuarios"));
    return ultimo.Campo(QStringLiteral("Id"));
}

QVariant InsereGrupo(const QString& nome) {
    if (!Executa(QStringLiteral("Insert Into Grupos (Descricao_Grupo, Nome_Grupo) Values (?, ?)"),
                 {QStringLiteral("Não há descrição para este grupo."), nome}))
        return {};
    Snapshot ultimo(QStringLiteral("Select max(ID_Grupo) As Id from Grupos"));
    return ultimo.Campo(QStringLiteral("Id"));
}

QVariant Insere(const QString& tabela, const QString& nome) {
    return tabela == QLatin1String("Usuarios") ? InsereUsuario(nome) : InsereGrupo(nome);
}

QString ColunaDoNome(const QString& tabela) {
    return tabela == QLatin1String("Usuarios") ? QStringLiteral("Nome_Usuario")
                                               : QStringLiteral("Nome_Grupo");
}

QString ColunaDoId(const QString& tabela) {
    return tabela == QLatin1String("Usuarios") ? QStringLiteral("ID_Usuario") : QStringLiteral("ID_Grupo");
}

} // namespace

class tst_BancoDeDados : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { FechaBancoDeDados(); }

    void abertura_data();
    void abertura();
    void diretorioDoPrograma();
    void arquivoProtegidoContraEscrita();
    void abreEFechaDuasVezes();
    void aberturaQueFalhaFechaAAnterior();
    void criaBancoVazioNaoSobrescreve();

    void contadoresNuncaReusados_data();
    void contadoresNuncaReusados();
    void ordemDosNomes_data();
    void ordemDosNomes();
    void igualdadeSemCaixa_data();
    void igualdadeSemCaixa();
    void aspasGuardadasComoDigitadas_data();
    void aspasGuardadasComoDigitadas();

    void navegacaoDoSnapshot();
    void comandosRecusados();
    void gravaLog_data();
    void gravaLog();
    void consultasDoEnvio();
};

void tst_BancoDeDados::abertura_data() {
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<bool>("abre");

    QTest::newRow("arquivo ausente") << "ausente" << false;
    QTest::newRow("arquivo de 0 bytes") << "vazio" << false;
    QTest::newRow("bytes aleatórios") << "aleatorio" << false;
    QTest::newRow("arquivo de texto") << "texto" << false;
    QTest::newRow("banco do Access") << "access" << false;
    QTest::newRow("cabeçalho SQLite e lixo") << "cabecalho_e_lixo" << false;
    QTest::newRow("SQLite truncado") << "truncado" << false;
    QTest::newRow("SQLite sem tabelas") << "sem_tabelas" << false;
    QTest::newRow("SQLite de outro programa") << "outras_tabelas" << false;
    QTest::newRow("sem a tabela Log") << "sem_log" << false;
    QTest::newRow("Usuarios sem ID_Pager") << "sem_coluna" << false;
    QTest::newRow("tabelas sem a colação") << "sem_colacao" << true;
    QTest::newRow("banco vazio do programa") << "valido" << true;
}

void tst_BancoDeDados::abertura() {
    QFETCH(QString, tipo);
    QFETCH(bool, abre);

    // Blanks, '#', '%20' and an apostrophe in the folder: the path must reach SQLite intact.
    QTemporaryDir raiz;
    const QString pasta = raiz.filePath(QStringLiteral("Dados #1 100%20 d'água"));
    QVERIFY(QDir().mkpath(pasta));
    const QString caminho = pasta + QStringLiteral("/Pager.Mdb");
    QVERIFY(PreparaArquivo(caminho, tipo));
    const QByteArray antes = LeBytes(caminho);

    QCOMPARE(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta), abre);
    QCOMPARE(BancoDeDadosAberto(), abre);
    QCOMPARE(BancoDeDados().isValid(), abre);
    if (abre) {
        QVERIFY(Snapshot(Consultas::ListaUsuarios).Valido());
        return;
    }
    // A refused file is left exactly as it was, and a missing one is not created.
    QCOMPARE(QFile::exists(caminho), tipo != QLatin1String("ausente"));
    QCOMPARE(LeBytes(caminho), antes);
    QCOMPARE(QDir(pasta).entryList(QDir::Files),
             tipo == QLatin1String("ausente") ? QStringList() : QStringList{"Pager.Mdb"});
}

void tst_BancoDeDados::diretorioDoPrograma() {
    const QString arquivo = QStringLiteral("tst_BancoDeDados_%1.Mdb").arg(QCoreApplication::applicationPid());
    const QString caminho = QDir(QCoreApplication::applicationDirPath()).filePath(arquivo);
    QVERIFY(CriaBancoVazio(caminho));
    const bool abriu = AbreBancoDeDados(arquivo);
    FechaBancoDeDados();
    QFile::remove(caminho);
    QVERIFY(abriu);
    QVERIFY(!AbreBancoDeDados(arquivo));
    QVERIFY(!QFile::exists(caminho));
}

void tst_BancoDeDados::arquivoProtegidoContraEscrita() {
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("Pager.Mdb"));
    QVERIFY(CriaBancoVazio(caminho));
    QVERIFY(QFile::setPermissions(caminho, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    if (QFileInfo(caminho).isWritable())
        QSKIP("this user writes to write-protected files (root)");
    QVERIFY(!AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()));
    QVERIFY(!BancoDeDadosAberto());
}

void tst_BancoDeDados::abreEFechaDuasVezes() {
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());
    QVERIFY(InsereUsuario(QStringLiteral("Ana")).isValid());
    QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), ambiente.Diretorio()));
    QVERIFY(BancoDeDadosAberto());
    QCOMPARE(ContaLinhas(QStringLiteral("Usuarios")), 1);

    FechaBancoDeDados();
    FechaBancoDeDados();
    QVERIFY(!BancoDeDadosAberto());
    QVERIFY(!BancoDeDados().isValid());
    Snapshot fechado(Consultas::ListaUsuarios);
    QVERIFY(!fechado.Valido());
    QVERIFY(fechado.Eof());
    QString erro;
    QVERIFY(!Executa(QStringLiteral("Delete From Usuarios"), {}, &erro));
    QVERIFY(!erro.isEmpty());

    // What was stored before closing is there after reopening.
    QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), ambiente.Diretorio()));
    QCOMPARE(ContaLinhas(QStringLiteral("Usuarios")), 1);
}

void tst_BancoDeDados::aberturaQueFalhaFechaAAnterior() {
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());
    QVERIFY(!AbreBancoDeDados(QStringLiteral("Outro.Mdb"), ambiente.Diretorio()));
    QVERIFY(!BancoDeDadosAberto());
    QVERIFY(!QFile::exists(ambiente.Diretorio() + QStringLiteral("/Outro.Mdb")));
}

void tst_BancoDeDados::criaBancoVazioNaoSobrescreve() {
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());
    QVERIFY(InsereUsuario(QStringLiteral("Ana")).isValid());
    FechaBancoDeDados();
    const QString caminho = ambiente.Diretorio() + QStringLiteral("/Pager.Mdb");
    const QByteArray antes = LeBytes(caminho);

    QString erro;
    QVERIFY(!CriaBancoVazio(caminho, &erro));
    QVERIFY(erro.contains(QStringLiteral("já existe")));
    QCOMPARE(LeBytes(caminho), antes);

    QVERIFY(!CriaBancoVazio(ambiente.Diretorio() + QStringLiteral("/não/existe/Pager.Mdb"), &erro));
    QVERIFY(!erro.isEmpty());
}

void tst_BancoDeDados::contadoresNuncaReusados_data() {
    QTest::addColumn<QString>("tabela");
    QTest::newRow("usuários") << "Usuarios";
    QTest::newRow("grupos") << "Grupos";
}

void tst_BancoDeDados::contadoresNuncaReusados() {
    QFETCH(QString, tabela);
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());
    const QString apagaPorId = QStringLiteral("Delete From %1 Where %2 = ?").arg(tabela, ColunaDoId(tabela));

    const qint64 primeiro = Insere(tabela, QStringLiteral("Primeiro")).toLongLong();
    const qint64 segundo = Insere(tabela, QStringLiteral("Segundo")).toLongLong();
    QVERIFY(primeiro > 0);
    QVERIFY(segundo > primeiro);
    QVERIFY(Executa(apagaPorId, {segundo}));
    const qint64 terceiro = Insere(tabela, QStringLiteral("Terceiro")).toLongLong();
    QVERIFY2(terceiro > segundo, "the id of a deleted row was given again");

    // Also across a reopening and with the table emptied.
    QVERIFY(Executa(QStringLiteral("Delete From %1").arg(tabela)));
    QVERIFY(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), ambiente.Diretorio()));
    const qint64 quarto = Insere(tabela, QStringLiteral("Quarto")).toLongLong();
    QVERIFY(quarto > terceiro);
}

void tst_BancoDeDados::ordemDosNomes_data() {
    QTest::addColumn<QString>("tabela");
    QTest::addColumn<QStringList>("ordemEsperada");

    const QStringList nomes{"Alberto", "Álvaro",  "Ana",   "Beatriz", "bruno", "Cecília",
                            "César",   "Eduardo", "Élcio", "Zé",      "Zeca"};
    QTest::newRow("usuários") << "Usuarios" << nomes;
    QTest::newRow("grupos") << "Grupos" << nomes;
}

void tst_BancoDeDados::ordemDosNomes() {
    QFETCH(QString, tabela);
    QFETCH(QStringList, ordemEsperada);
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());
    const QStringList embaralhados{ordemEsperada[10], ordemEsperada[1], ordemEsperada[4], ordemEsperada[8],
                                   ordemEsperada[0],  ordemEsperada[6], ordemEsperada[3], ordemEsperada[9],
                                   ordemEsperada[2],  ordemEsperada[7], ordemEsperada[5]};
    for (const QString& nome : embaralhados)
        QVERIFY(Insere(tabela, nome).isValid());

    const QString coluna = ColunaDoNome(tabela);
    Snapshot lista(tabela == QLatin1String("Usuarios") ? Consultas::ListaUsuarios : Consultas::ListaGrupos);
    QStringList obtidos;
    for (; !lista.Eof(); lista.MoveNext())
        obtidos << lista.Campo(coluna).toString();
    QCOMPARE(obtidos, ordemEsperada);
}

void tst_BancoDeDados::igualdadeSemCaixa_data() {
    QTest::addColumn<QString>("tabela");
    QTest::addColumn<QString>("guardado");
    QTest::addColumn<QString>("procurado");
    QTest::addColumn<bool>("encontra");

    QTest::newRow("maiúsculas") << "Usuarios"
                                << "Ana Maria"
                                << "ANA MARIA" << true;
    QTest::newRow("minúsculas") << "Usuarios"
                                << "Ana Maria"
                                << "ana maria" << true;
    QTest::newRow("acento maiúsculo") << "Usuarios"
                                      << "João Sá"
                                      << "JOÃO SÁ" << true;
    QTest::newRow("sem o acento") << "Usuarios"
                                  << "Álvaro"
                                  << "Alvaro" << false;
    QTest::newRow("outro nome") << "Usuarios"
                                << "Ana Maria"
                                << "Ana Mara" << false;
    QTest::newRow("grupo em maiúsculas") << "Grupos"
                                         << "Plantão"
                                         << "PLANTÃO" << true;
    QTest::newRow("grupo diferente") << "Grupos"
                                     << "Plantão"
                                     << "Plantões" << false;
}

void tst_BancoDeDados::igualdadeSemCaixa() {
    QFETCH(QString, tabela);
    QFETCH(QString, guardado);
    QFETCH(QString, procurado);
    QFETCH(bool, encontra);
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());
    QVERIFY(Insere(tabela, guardado).isValid());
    QVERIFY(Insere(tabela, QStringLiteral("Zulmira")).isValid());

    Snapshot achados(QStringLiteral("Select * from %1 Where %2 = ?").arg(tabela, ColunaDoNome(tabela)),
                     {procurado});
    QVERIFY(achados.Valido());
    QCOMPARE(achados.RecordCount(), encontra ? 1 : 0);
    if (encontra)
        QCOMPARE(achados.Campo(ColunaDoNome(tabela)).toString(), guardado);
}

void tst_BancoDeDados::aspasGuardadasComoDigitadas_data() {
    QTest::addColumn<QString>("valor");
    QTest::newRow("apóstrofo") << "Pedro D'Ávila";
    QTest::newRow("aspas duplas") << "João \"Joca\" Antunes";
    QTest::newRow("os dois") << "O'Neil \"Bob\" ''";
    QTest::newRow("comando embutido") << "x'); Delete From Usuarios; --";
    QTest::newRow("barra e porcento") << "C:\\Pager 100% \\n";
    QTest::newRow("ponto de interrogação") << "Quem? ?1 :nome";
}

void tst_BancoDeDados::aspasGuardadasComoDigitadas() {
    QFETCH(QString, valor);
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());
    QVERIFY(InsereUsuario(QStringLiteral("Testemunha"), QStringLiteral("999")).isValid());
    const QVariant id = InsereUsuario(valor, valor.left(10));
    QVERIFY(id.isValid());
    QVERIFY(Executa(QStringLiteral("Update Usuarios Set Descricao = ? Where ID_Usuario = ?"), {valor, id}));

    Snapshot achado(QStringLiteral("Select * from Usuarios Where Nome_Usuario = ?"), {valor});
    QCOMPARE(achado.RecordCount(), 1);
    QCOMPARE(achado.Campo(QStringLiteral("Nome_Usuario")).toString(), valor);
    QCOMPARE(achado.Campo(QStringLiteral("Descricao")).toString(), valor);
    QCOMPARE(achado.Campo(QStringLiteral("ID_Pager")).toString(), valor.left(10));
    QCOMPARE(ContaLinhas(QStringLiteral("Usuarios")), 2);
}

void tst_BancoDeDados::navegacaoDoSnapshot() {
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());

    Snapshot vazio(Consultas::ListaUsuarios);
    QVERIFY(vazio.Valido());
    QVERIFY(vazio.Eof());
    QCOMPARE(vazio.RecordCount(), 0);
    QVERIFY(!vazio.Campo(QStringLiteral("Nome_Usuario")).isValid());
    vazio.MoveNext();
    vazio.MoveLast();
    QVERIFY(vazio.Eof());
    vazio.MoveFirst();
    QVERIFY(vazio.Eof());

    const QVariant idCarla = InsereUsuario(QStringLiteral("Carla"));
    QVERIFY(InsereUsuario(QStringLiteral("Ana")).isValid());
    QVERIFY(InsereUsuario(QStringLiteral("Bruno")).isValid());

    Snapshot lista(Consultas::ListaUsuarios);
    QCOMPARE(lista.RecordCount(), 3);
    QVERIFY(!lista.Eof());
    QCOMPARE(lista.Campo(QStringLiteral("Nome_Usuario")).toString(), QStringLiteral("Ana"));
    QCOMPARE(lista.Campo(QStringLiteral("nome_usuario")).toString(), QStringLiteral("Ana"));
    QVERIFY(!lista.Campo(QStringLiteral("Sobrenome")).isValid());
    lista.MoveNext();
    QCOMPARE(lista.Campo(QStringLiteral("Nome_Usuario")).toString(), QStringLiteral("Bruno"));
    lista.MoveNext();
    QCOMPARE(lista.Campo(QStringLiteral("Nome_Usuario")).toString(), QStringLiteral("Carla"));
    QCOMPARE(lista.Campo(QStringLiteral("ID_Usuario")).toLongLong(), idCarla.toLongLong());
    lista.MoveNext();
    QVERIFY(lista.Eof());
    QVERIFY(!lista.Campo(QStringLiteral("Nome_Usuario")).isValid());
    lista.MoveNext();
    QVERIFY(lista.Eof());
    lista.MoveFirst();
    QCOMPARE(lista.Campo(QStringLiteral("Nome_Usuario")).toString(), QStringLiteral("Ana"));
    lista.MoveLast();
    QVERIFY(!lista.Eof());
    QCOMPARE(lista.Campo(QStringLiteral("Nome_Usuario")).toString(), QStringLiteral("Carla"));

    // A snapshot is static: later changes do not reach it.
    QVERIFY(Executa(QStringLiteral("Delete From Usuarios")));
    QCOMPARE(lista.RecordCount(), 3);
    QCOMPARE(lista.Campo(QStringLiteral("Nome_Usuario")).toString(), QStringLiteral("Carla"));

    lista.Close();
    QVERIFY(lista.Eof());
    QCOMPARE(lista.RecordCount(), 0);
}

void tst_BancoDeDados::comandosRecusados() {
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());

    Snapshot errado(QStringLiteral("Select * from Usuários"));
    QVERIFY(!errado.Valido());
    QVERIFY(!errado.Erro().isEmpty());
    QVERIFY(errado.Eof());

    QString erro;
    QVERIFY(!Executa(QStringLiteral("Delete * From Usuarios"), {}, &erro));
    QVERIFY(!erro.isEmpty());
    // A missing value is refused, not stored as an empty row.
    QVERIFY(!Executa(QStringLiteral("Insert Into Grupos (Descricao_Grupo, Nome_Grupo) Values (?, ?)"),
                     {QStringLiteral("Sem nome"), QVariant()}, &erro));
    QCOMPARE(ContaLinhas(QStringLiteral("Grupos")), 0);
}

void tst_BancoDeDados::gravaLog_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("hora");
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("mensagem");
    QTest::addColumn<QString>("idPager");
    QTest::addColumn<int>("idUsuario");

    QTest::newRow("envio a um usuário, nome com 50 caracteres")
        << "19981203"
        << "14:05" << QStringLiteral("Pedro D'Ávila").leftJustified(50) << "Reunião às 15h \"sala 2\""
        << "1234567" << 3;
    QTest::newRow("envio a um grupo, nome sem brancos") << "19990101"
                                                        << "00:00"
                                                        << "Pedro D'Ávila"
                                                        << "Feliz ano novo!"
                                                        << "1234567" << 3;
    QTest::newRow("mensagem de 240 caracteres")
        << "20001231"
        << "23:59"
        << "Ana" << QString(238, QLatin1Char('x')).prepend('\'').append('"') << "0123456789" << 99999;
    QTest::newRow("mensagem nula") << "20240229"
                                   << "09:30"
                                   << "Ana" << QString() << "1" << 1;
}

void tst_BancoDeDados::gravaLog() {
    QFETCH(QString, data);
    QFETCH(QString, hora);
    QFETCH(QString, usuario);
    QFETCH(QString, mensagem);
    QFETCH(QString, idPager);
    QFETCH(int, idUsuario);
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());

    QString erro;
    QVERIFY2(GravaLog(data, hora, usuario, mensagem, idPager, idUsuario, &erro), qPrintable(erro));

    Snapshot log(QStringLiteral("Select * from Log Order By Data, Hora, Usuario"));
    QCOMPARE(log.RecordCount(), 1);
    QCOMPARE(log.Campo(QStringLiteral("Data")).toString(), data);
    QCOMPARE(log.Campo(QStringLiteral("Hora")).toString(), hora);
    QCOMPARE(log.Campo(QStringLiteral("Usuario")).toString(), usuario);
    QCOMPARE(log.Campo(QStringLiteral("Usuario")).toString().size(), usuario.size());
    QCOMPARE(log.Campo(QStringLiteral("Mensagem")).toString(), mensagem.isNull() ? QString("") : mensagem);
    QVERIFY(!log.Campo(QStringLiteral("Mensagem")).isNull());
    QCOMPARE(log.Campo(QStringLiteral("ID_Pager")).toString(), idPager);
    QCOMPARE(log.Campo(QStringLiteral("ID_Usuario")).toInt(), idUsuario);
}

void tst_BancoDeDados::consultasDoEnvio() {
    AmbienteDeTeste ambiente;
    QVERIFY(ambiente.AbreBancoVazio());
    const QVariant ana = InsereUsuario(QStringLiteral("Ana"), QStringLiteral("111"));
    const QVariant pedro = InsereUsuario(QStringLiteral("Pedro D'Ávila"), QStringLiteral("222"));
    const QVariant bia = InsereUsuario(QStringLiteral("Bia"), QStringLiteral("333"));
    const QVariant plantao = InsereGrupo(QStringLiteral("Plantão"));
    const QVariant diretoria = InsereGrupo(QStringLiteral("Diretoria"));
    const QString insereMembro =
        QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, ?)");
    QVERIFY(Executa(insereMembro, {pedro, plantao}));
    QVERIFY(Executa(insereMembro, {ana, plantao}));
    QVERIFY(Executa(insereMembro, {bia, diretoria}));

    Snapshot usuario(Consultas::PagerDoUsuario, {pedro});
    QCOMPARE(usuario.RecordCount(), 1);
    QCOMPARE(usuario.Campo(QStringLiteral("ID_Pager")).toString(), QStringLiteral("222"));
    QCOMPARE(usuario.Campo(QStringLiteral("Nome_Usuario")).toString(), QStringLiteral("Pedro D'Ávila"));

    Snapshot membros(Consultas::MembrosDoGrupo, {plantao});
    QList<qint64> ids;
    for (; !membros.Eof(); membros.MoveNext())
        ids << membros.Campo(QStringLiteral("ID_Usuario")).toLongLong();
    std::sort(ids.begin(), ids.end());
    QCOMPARE(ids, (QList<qint64>{ana.toLongLong(), pedro.toLongLong()}));

    Snapshot grupos(Consultas::ListaGrupos);
    QCOMPARE(grupos.Campo(QStringLiteral("Nome_Grupo")).toString(), QStringLiteral("Diretoria"));
    QCOMPARE(grupos.RecordCount(), 2);
}

QTEST_GUILESS_MAIN(tst_BancoDeDados)
#include "tst_BancoDeDados.moc"
