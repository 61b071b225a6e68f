#include "store/Transacao.h"

#include "store/BancoDeDados.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

const QString Transacao::Ocupado =
    QStringLiteral("outra mesa ou outro programa está gravando no cadastro há mais tempo do que esta mesa "
                   "pode esperar. Nada foi gravado e nada se perdeu; tente de novo em instantes.");

namespace {
// SQLite's BUSY and LOCKED; PostgreSQL's lock not available, serialization failure and deadlock.
bool EhOcupado(const QSqlError& erro) {
    static const QStringList codigos = {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("55P03"),
                                        QStringLiteral("40001"), QStringLiteral("40P01")};
    return codigos.contains(erro.nativeErrorCode());
}
} // namespace

Transacao::Transacao() {
    if (!BancoDeDadosAberto()) {
        m_erro = MotivoSemBanco();
        return;
    }
    QSqlDatabase banco = BancoDeDados();
    // A deferred SQLite transaction that read before another desk committed cannot write at all
    // (its snapshot is stale): the lock is taken first instead.
    if (banco.driverName() == QLatin1String("QSQLITE")) {
        QSqlQuery inicio(banco);
        m_iniciada = inicio.exec(QStringLiteral("BEGIN IMMEDIATE"));
        if (!m_iniciada)
            Falhou(inicio.lastError());
        return;
    }
    // On a server, the directory's writers queue behind one lock of the database's own, as in the
    // file: a check and the write it allows are never split by another desk's.
    m_iniciada = banco.transaction();
    QSqlQuery trava(banco);
    if (m_iniciada && !(trava.exec(QStringLiteral("Set Local lock_timeout = '5s'")) &&
                        trava.exec(QStringLiteral("Select pg_advisory_xact_lock(7061)")))) {
        Falhou(trava.lastError());
        banco.rollback();
        m_iniciada = false;
    } else if (!m_iniciada)
        Falhou(banco.lastError());
}

Transacao::~Transacao() {
    if (m_iniciada && !m_confirmada)
        BancoDeDados().rollback();
}

void Transacao::Falhou(const QSqlError& erro) {
    m_erro = EhOcupado(erro) ? Ocupado : TextoDoErro(erro);
}

bool Transacao::Confirma() {
    if (!m_iniciada)
        return false;
    QSqlDatabase banco = BancoDeDados();
    m_confirmada = banco.commit();
    if (!m_confirmada) {
        Falhou(banco.lastError());
        banco.rollback();
        m_iniciada = false;
    }
    return m_confirmada;
}
