#include "store/PostgreSQL.h"

#include "store/BancoDeDados.h"
#include "store/ChaveDeOrdem.h"
#include "store/Esquema.h"

#include <QElapsedTimer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <atomic>
#include <libpq-fe.h>

namespace {

constexpr int SegundosParaConectar = 5;
// A server that is down is asked again at most this often, so a desk that keeps working does
// not wait for a connection at every statement.
constexpr qint64 IntervaloEntreTentativasMs = 3000;

std::atomic<qint64> g_avisosDaFila{0};
thread_local QString t_motivoSemServidor;

bool Falha(QString* erro, const QString& texto) {
    if (erro)
        *erro = texto;
    return false;
}

QString Servidor(const QSqlDatabase& banco) {
    return QStringLiteral("%1:%2").arg(banco.hostName()).arg(banco.port());
}

// What libpq said, without its trailing line breaks, on one line.
QString TextoDoServidor(const QSqlError& erro) {
    QString texto = erro.databaseText().isEmpty() ? erro.text() : erro.databaseText();
    return texto.simplified();
}

PGconn* Nativo(const QSqlDatabase& banco) {
    if (!banco.driver())
        return nullptr;
    const QVariant handle = banco.driver()->handle();
    // The driver names the type by its struct (pg_conn*) or by libpq's alias, as Qt versions differ.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.data());
}

// Statements of the schema, split at a semicolon that ends a line outside a function body.
QStringList ComandosDoEsquema() {
    const QString texto = EsquemaPostgreSQL();
    QStringList comandos;
    QString atual;
    bool dentroDeFuncao = false;
    for (const QString& linha : texto.split(QLatin1Char('\n'))) {
        if (linha.startsWith(QLatin1String("--")))
            continue;
        atual += linha + QLatin1Char('\n');
        if (linha.count(QLatin1String("$$")) % 2 == 1)
            dentroDeFuncao = !dentroDeFuncao;
        if (!dentroDeFuncao && linha.trimmed().endsWith(QLatin1Char(';'))) {
            comandos << atual.trimmed();
            atual.clear();
        }
    }
    return comandos;
}

} // namespace

void OuveAvisosDaFila(QSqlDatabase& banco) {
    QSqlDriver* driver = banco.driver();
    if (!driver->property("bipvox.ouvindo").toBool()) {
        QObject::connect(driver,
                         qOverload<const QString&, QSqlDriver::NotificationSource, const QVariant&>(
                             &QSqlDriver::notification),
                         driver, [] { ++g_avisosDaFila; });
        driver->setProperty("bipvox.ouvindo", true);
    }
    driver->subscribeToNotification(QStringLiteral("bipvox_fila"));
}

QString ConexaoPostgreSQL::Descricao() const {
    return QStringLiteral("banco %1 no servidor PostgreSQL %2:%3").arg(banco, servidor).arg(porta);
}

std::optional<ConexaoPostgreSQL> ConexaoPostgreSQL::DoTexto(const QString& texto, QString* erro) {
    ConexaoPostgreSQL conexao;
    for (const QString& par : texto.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int igual = par.indexOf(QLatin1Char('='));
        const QString nome = par.left(igual).trimmed();
        const QString valor = igual < 0 ? QString() : par.mid(igual + 1).trimmed();
        if (igual <= 0 || valor.isEmpty()) {
            Falha(erro, QStringLiteral("\"%1\" não é da forma nome=valor").arg(par));
            return std::nullopt;
        }
        bool ok = true;
        if (nome == QLatin1String("host"))
            conexao.servidor = valor;
        else if (nome == QLatin1String("port"))
            conexao.porta = valor.toInt(&ok);
        else if (nome == QLatin1String("dbname"))
            conexao.banco = valor;
        else if (nome == QLatin1String("user"))
            conexao.usuario = valor;
        else if (nome == QLatin1String("password")) {
            Falha(erro,
                  QStringLiteral("a senha não vai aqui: ponha-a em ~/.pgpass ou na variável PGPASSWORD"));
            return std::nullopt;
        } else {
            Falha(erro, QStringLiteral("\"%1\" não é host, port, dbname nem user").arg(nome));
            return std::nullopt;
        }
        if (!ok || conexao.porta < 1 || conexao.porta > 65535) {
            Falha(erro, QStringLiteral("a porta \"%1\" não é um número de 1 a 65535").arg(valor));
            return std::nullopt;
        }
    }
    return conexao;
}

QString ConexaoPostgreSQL::Texto() const {
    QString texto = QStringLiteral("host=%1 port=%2 dbname=%3").arg(servidor).arg(porta).arg(banco);
    if (!usuario.isEmpty())
        texto += QStringLiteral(" user=") + usuario;
    return texto;
}

namespace {
bool Conecta(QSqlDatabase& banco, const ConexaoPostgreSQL& conexao, QString* erro) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return Falha(erro, QStringLiteral("Este computador não tem o suporte do Qt a PostgreSQL (pacote "
                                          "libqt6sql6-psql): instale-o para usar o %1.")
                               .arg(conexao.Descricao()));
    banco.setHostName(conexao.servidor);
    banco.setPort(conexao.porta);
    banco.setDatabaseName(conexao.banco);
    banco.setUserName(conexao.usuario);
    banco.setConnectOptions(
        QStringLiteral("connect_timeout=%1;application_name=bipvox").arg(SegundosParaConectar));
    return banco.open() || Falha(erro, QStringLiteral("Não foi possível conectar ao %1: %2")
                                           .arg(conexao.Descricao(), TextoDoServidor(banco.lastError())));
}
} // namespace

bool ConectaPostgreSQL(QSqlDatabase& banco, const ConexaoPostgreSQL& conexao, QString* erro) {
    if (!Conecta(banco, conexao, erro))
        return false;
    QSqlQuery versao(banco);
    if (!versao.exec(QStringLiteral("Select Versao From Versao_Do_Esquema")) || !versao.next())
        return Falha(erro, QStringLiteral("O %1 não tem as tabelas do Bipvox. Crie-as com: bipvox-criabanco "
                                          "--postgresql \"%2\"")
                               .arg(conexao.Descricao(), conexao.Texto()));
    if (versao.value(0).toInt() != VersaoDoEsquema)
        return Falha(erro, QStringLiteral("O %1 é da versão %2 do esquema do Bipvox; esta versão do programa "
                                          "usa a versão %3. Nada foi alterado.")
                               .arg(conexao.Descricao())
                               .arg(versao.value(0).toInt())
                               .arg(VersaoDoEsquema));
    return true;
}

bool CriaEsquemaPostgreSQL(const ConexaoPostgreSQL& conexao, QString* erro, const PreencheBanco& preenche) {
    const QString nome = QStringLiteral("Bipvox.criabanco");
    bool feito = false;
    QString motivo;
    {
        QSqlDatabase banco = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
        const QStringList comandos = ComandosDoEsquema();
        Conecta(banco, conexao, &motivo);
        QSqlQuery q(banco);
        if (motivo.isEmpty() &&
            q.exec(QStringLiteral("Select count(*) From pg_tables Where schemaname = "
                                  "current_schema()")) &&
            q.next() && q.value(0).toInt() > 0)
            motivo =
                QStringLiteral("O %1 já tem tabelas; as do Bipvox só são criadas num banco vazio. Nada foi "
                               "alterado.")
                    .arg(conexao.Descricao());
        if (motivo.isEmpty() && banco.transaction()) {
            feito = true;
            for (const QString& comando : comandos)
                if (feito && !q.exec(comando)) {
                    feito = false;
                    motivo = TextoDoServidor(q.lastError());
                }
            feito = feito &&
                    q.exec(QStringLiteral("Insert Into Versao_Do_Esquema Values (%1)").arg(VersaoDoEsquema));
            bool preenchido = true;
            if (feito && preenche) {
                preenchido = preenche(banco, &motivo);
                feito = preenchido;
            }
            feito = feito && banco.commit();
            if (!feito) {
                if (motivo.isEmpty())
                    motivo = TextoDoServidor(banco.lastError());
                banco.rollback();
                if (preenchido)
                    motivo = QStringLiteral("Não foi possível criar as tabelas do Bipvox no %1: %2")
                                 .arg(conexao.Descricao(), motivo);
            }
        } else if (motivo.isEmpty())
            motivo = TextoDoServidor(banco.lastError());
        banco.close();
    }
    QSqlDatabase::removeDatabase(nome);
    return feito || Falha(erro, motivo);
}

bool ConexaoViva(const QSqlDatabase& banco) {
    PGconn* nativo = banco.isOpen() ? Nativo(banco) : nullptr;
    return nativo && PQstatus(nativo) == CONNECTION_OK;
}

bool ReconectaSePerdida(QSqlDatabase& banco) {
    if (ConexaoViva(banco))
        return true;
    thread_local QElapsedTimer ultimaTentativa;
    if (ultimaTentativa.isValid() && !ultimaTentativa.hasExpired(IntervaloEntreTentativasMs))
        return false;
    ultimaTentativa.start();
    banco.close();
    if (!banco.open()) {
        t_motivoSemServidor =
            QStringLiteral("Sem conexão com o servidor PostgreSQL %1 (%2); o Bipvox tenta de "
                           "novo a cada operação.")
                .arg(Servidor(banco), TextoDoServidor(banco.lastError()));
        return false;
    }
    t_motivoSemServidor.clear();
    if (banco.driver()->property("bipvox.ouvindo").toBool())
        OuveAvisosDaFila(banco);
    ++g_avisosDaFila; // what changed meanwhile was not announced: read it again
    return true;
}

QString MotivoSemServidor() {
    return t_motivoSemServidor;
}

qint64 AvisosDaFila(QSqlDatabase& banco) {
    // Read here as well as by the driver's own watch of the socket, so a program busy elsewhere
    // (or without an event loop) still learns of every change when it asks.
    if (PGconn* nativo = ConexaoViva(banco) ? Nativo(banco) : nullptr) {
        PQconsumeInput(nativo);
        while (PGnotify* aviso = PQnotifies(nativo)) {
            ++g_avisosDaFila;
            PQfreemem(aviso);
        }
    }
    return g_avisosDaFila;
}
