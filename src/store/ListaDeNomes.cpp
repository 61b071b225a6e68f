#include "store/ListaDeNomes.h"

#include "store/BancoDeDados.h"
#include "store/SQLiteNativo.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <memory>
#include <sqlite3.h>

namespace {

struct Finalizador {
    void operator()(sqlite3_stmt* comando) const { sqlite3_finalize(comando); }
};
using Comando = std::unique_ptr<sqlite3_stmt, Finalizador>;

QString ErroDe(sqlite3* handle) {
    return QString::fromUtf8(sqlite3_errmsg(handle));
}

// A null text (an untouched text box) is bound as an empty one, as in every other statement:
// utf16() never returns a null pointer.
bool Vincula(sqlite3_stmt* comando, const QVariantList& parametros) {
    for (int i = 0; i < parametros.size(); ++i) {
        const QVariant& valor = parametros[i];
        int resultado = SQLITE_MISUSE;
        if (valor.typeId() == QMetaType::QString) {
            const QString texto = valor.toString();
            resultado =
                sqlite3_bind_text16(comando, i + 1, texto.utf16(), int(texto.size() * 2), SQLITE_TRANSIENT);
        } else if (valor.canConvert<qlonglong>() && valor.isValid()) {
            resultado = sqlite3_bind_int64(comando, i + 1, valor.toLongLong());
        }
        if (resultado != SQLITE_OK)
            return false;
    }
    return true;
}

// A server's rows come through the driver, read once, forward only (the driver takes them as
// the server sends them). Without values to bind, the statement goes as it is instead of being
// prepared on the server first: one round trip instead of three (prepare, execute, deallocate).
ListaDeNomes LeListaPeloQt(const QString& sql, const QVariantList& parametros) {
    ListaDeNomes lista;
    QSqlQuery consulta(BancoDeDados());
    consulta.setForwardOnly(true);
    bool ok = parametros.isEmpty() || consulta.prepare(sql);
    for (const QVariant& valor : parametros)
        consulta.addBindValue(valor);
    ok = ok && (parametros.isEmpty() ? consulta.exec(sql) : consulta.exec());
    if (ok && consulta.record().count() < 2) {
        lista.erro = QStringLiteral("Consulta ou parâmetros inválidos para uma lista de nomes.");
        return lista;
    }
    while (ok && consulta.next()) {
        lista.ids.append(qint32(consulta.value(0).toLongLong()));
        lista.nomes.append(consulta.value(1).toString());
    }
    if (!ok || consulta.lastError().isValid()) {
        lista = {};
        lista.erro = TextoDoErro(consulta.lastError());
    }
    return lista;
}

} // namespace

ListaDeNomes LeListaDeNomes(const QString& sql, const QVariantList& parametros) {
    if (BancoDeDadosAberto() && MotorDoBanco() == Motor::PostgreSQL)
        return LeListaPeloQt(sql, parametros);
    ListaDeNomes lista;
    sqlite3* handle = BancoDeDadosAberto() ? HandleNativo(BancoDeDados()) : nullptr;
    if (!handle) {
        lista.erro = MotivoSemBanco();
        return lista;
    }
    sqlite3_stmt* preparado = nullptr;
    const int preparo = sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * 2), &preparado, nullptr);
    const Comando comando(preparado);
    if (preparo != SQLITE_OK || !comando) {
        lista.erro = preparo != SQLITE_OK ? ErroDe(handle) : QStringLiteral("Consulta vazia.");
        return lista;
    }
    if (sqlite3_column_count(comando.get()) < 2 || !Vincula(comando.get(), parametros)) {
        lista.erro = QStringLiteral("Consulta ou parâmetros inválidos para uma lista de nomes.");
        return lista;
    }
    int passo = SQLITE_ROW;
    while ((passo = sqlite3_step(comando.get())) == SQLITE_ROW) {
        lista.ids.append(qint32(sqlite3_column_int64(comando.get(), 0)));
        const void* texto = sqlite3_column_text16(comando.get(), 1);
        const int bytes = sqlite3_column_bytes16(comando.get(), 1);
        lista.nomes.append(QString(static_cast<const QChar*>(texto), bytes / 2));
    }
    if (passo != SQLITE_DONE) {
        lista.erro = ErroDe(handle);
        lista.nomes.clear();
        lista.ids.clear();
    }
    // The lists live as long as the window: no room left over from growing them.
    lista.nomes.squeeze();
    lista.ids.squeeze();
    return lista;
}
