#include "store/SQLiteNativo.h"

#include <QCollator>
#include <QLocale>
#include <QSqlDriver>
#include <QStringView>

#include <memory>
#include <sqlite3.h>

namespace {

int ComparaNomes(void* colador, int tamanho1, const void* texto1, int tamanho2, const void* texto2) {
    // SQLite hands over aligned native-order UTF-16 (SQLITE_UTF16_ALIGNED), lengths in bytes.
    const QStringView nome1(static_cast<const char16_t*>(texto1), tamanho1 / 2);
    const QStringView nome2(static_cast<const char16_t*>(texto2), tamanho2 / 2);
    const int resultado = static_cast<const QCollator*>(colador)->compare(nome1, nome2);
    return resultado < 0 ? -1 : (resultado > 0 ? 1 : 0);
}

void DestroiColador(void* colador) {
    delete static_cast<QCollator*>(colador);
}

} // namespace

sqlite3* HandleNativo(const QSqlDatabase& banco) {
    if (!banco.isValid() || !banco.isOpen() || !banco.driver())
        return nullptr;
    const QVariant handle = banco.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

QCollator ColadorDeNomes() {
    QCollator colador(QLocale(QLocale::Portuguese, QLocale::Brazil));
    colador.setCaseSensitivity(Qt::CaseInsensitive);
    return colador;
}

bool RegistraColacaoNome(sqlite3* handle) {
    if (!handle)
        return false;
    auto colador = std::make_unique<QCollator>(ColadorDeNomes());
    const int resultado = sqlite3_create_collation_v2(handle, "NOME", SQLITE_UTF16_ALIGNED, colador.get(),
                                                      &ComparaNomes, &DestroiColador);
    if (resultado != SQLITE_OK)
        return false;  // SQLite does not call DestroiColador when it refuses: the unique_ptr frees it
    colador.release(); // the connection owns it now and frees it through DestroiColador
    return true;
}
