#include "FalhaPlantada.h"

#include "store/BancoDeDados.h"
#include "store/SQLiteNativo.h"
#include "store/Snapshot.h"

#include <QSqlDriver>

#include <libpq-fe.h>
#include <sqlite3.h>

namespace {
const QString kNome = QStringLiteral("falha_plantada");
} // namespace

bool TransacaoAberta() {
    const QSqlDatabase banco = BancoDeDados();
    if (MotorDoBanco() == Motor::SQLite)
        return !sqlite3_get_autocommit(HandleNativo(banco));
    const QVariant handle = banco.driver()->handle();
    PGconn* nativo = *static_cast<PGconn* const*>(handle.data());
    return PQtransactionStatus(nativo) != PQTRANS_IDLE;
}

FalhaPlantada::FalhaPlantada(const QString& momento, const QString& mensagem, const QString& condicao) {
    if (MotorDoBanco() == Motor::SQLite) {
        m_plantada =
            Executa(QStringLiteral("Create Trigger %1 %2 %3 Begin Select Raise(Abort, '%4'); End")
                        .arg(kNome, momento,
                             condicao.isEmpty() ? QString() : QStringLiteral("When ") + condicao, mensagem));
        return;
    }
    m_plantada =
        Executa(QStringLiteral("Create Function %1() Returns trigger Language plpgsql As $$ Begin If %2 Then "
                               "Raise Exception '%3'; End If; If TG_OP = 'DELETE' Then Return OLD; End If; "
                               "Return NEW; End $$")
                    .arg(kNome, condicao.isEmpty() ? QStringLiteral("true") : condicao, mensagem)) &&
        Executa(
            QStringLiteral("Create Trigger %1 %2 For Each Row Execute Function %1()").arg(kNome, momento));
}

FalhaPlantada::~FalhaPlantada() {
    Executa((MotorDoBanco() == Motor::SQLite ? QStringLiteral("Drop Trigger If Exists %1")
                                             : QStringLiteral("Drop Function If Exists %1() Cascade"))
                .arg(kNome));
}
