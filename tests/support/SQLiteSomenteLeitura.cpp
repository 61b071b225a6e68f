#include "SQLiteSomenteLeitura.h"

#include <sqlite3.h>

namespace {
// SQLite calls back through plain function pointers, so the wrapped file system lives here.
sqlite3_vfs g_somenteLeitura;
sqlite3_vfs* g_original = nullptr;

int AbreSomenteLeitura(sqlite3_vfs*, const char* nome, sqlite3_file* arquivo, int flags, int* saida) {
    flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    return g_original->xOpen(g_original, nome, arquivo, flags, saida);
}
} // namespace

SQLiteSomenteLeitura::SQLiteSomenteLeitura() {
    g_original = sqlite3_vfs_find(nullptr);
    g_somenteLeitura = *g_original;
    g_somenteLeitura.zName = "bipvox-somente-leitura";
    g_somenteLeitura.xOpen = AbreSomenteLeitura;
    sqlite3_vfs_register(&g_somenteLeitura, 1);
}

SQLiteSomenteLeitura::~SQLiteSomenteLeitura() {
    sqlite3_vfs_unregister(&g_somenteLeitura);
    sqlite3_vfs_register(g_original, 1);
}
