#include "PostgreSQLDeTeste.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {
// Runs sql (none: only connects) on database banco; empty when it worked, else the reason.
QString Executa(const QString& banco, const QString& sql) {
    const std::optional<ConexaoPostgreSQL> servidor = ServidorDeTeste();
    if (!servidor)
        return QStringLiteral(
                   "sem servidor em BIPVOX_PG_TESTE (\"%1\"): rode \"bash scripts/postgresql.sh rodar "
                   "PROGRAMA_DE_TESTE\", ou \"bash scripts/postgresql.sh iniciar PASTA\" e exporte "
                   "em BIPVOX_PG_TESTE a linha que ele imprime")
            .arg(qEnvironmentVariable("BIPVOX_PG_TESTE"));
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return QStringLiteral("driver QPSQL do Qt ausente (pacote libqt6sql6-psql)");
    const QString nome = QStringLiteral("bipvox_pg_teste_administracao");
    QString erro;
    {
        QSqlDatabase db = ConexaoDeTeste(banco, nome);
        if (!db.open()) {
            erro = servidor->Descricao() + QStringLiteral(": ") + db.lastError().text();
        } else if (!sql.isEmpty()) {
            QSqlQuery consulta(db);
            if (!consulta.exec(sql))
                erro = sql + QStringLiteral(": ") + consulta.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(nome);
    return erro;
}
} // namespace

std::optional<ConexaoPostgreSQL> ServidorDeTeste(const QString& banco) {
    const QString linha = qEnvironmentVariable("BIPVOX_PG_TESTE");
    std::optional<ConexaoPostgreSQL> servidor =
        linha.isEmpty() ? std::nullopt : ConexaoPostgreSQL::DoTexto(linha, nullptr);
    if (servidor)
        servidor->banco = banco;
    return servidor;
}

bool PostgreSQLDisponivel(QString* motivo) {
    const QString erro = Executa(QStringLiteral("postgres"), QString());
    if (motivo)
        *motivo = erro;
    return erro.isEmpty();
}

QString NovoBancoPostgreSQL(QString* erro) {
    const QString banco = QStringLiteral("teste_") + QUuid::createUuid().toString(QUuid::Id128);
    const QString falha =
        Executa(QStringLiteral("postgres"),
                QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'").arg(banco));
    if (erro)
        *erro = falha;
    return falha.isEmpty() ? banco : QString();
}

void ApagaBancoPostgreSQL(const QString& banco) {
    Executa(QStringLiteral("postgres"), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(banco));
}

QSqlDatabase ConexaoDeTeste(const QString& banco, const QString& conexao) {
    const ConexaoPostgreSQL servidor = ServidorDeTeste(banco).value_or(ConexaoPostgreSQL());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), conexao);
    db.setHostName(servidor.servidor);
    db.setPort(servidor.porta);
    db.setUserName(servidor.usuario);
    db.setDatabaseName(banco);
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    return db;
}
