#include "store/ConsolidacaoAdiada.h"

#include "store/BancoDeDados.h"
#include "store/SQLiteNativo.h"

#include <sqlite3.h>

namespace {
// SQLite's own threshold for folding the log at commit (its default wal_autocheckpoint).
constexpr int PaginasPorConsolidacao = 1000;
} // namespace

ConsolidacaoAdiada::ConsolidacaoAdiada() : m_handle(HandleNativo(BancoDeDados())) {
    // Replaces the automatic checkpoint, which is itself this hook.
    if (m_handle)
        sqlite3_wal_hook(m_handle, &ConsolidacaoAdiada::AoGravar, this);
}

ConsolidacaoAdiada::~ConsolidacaoAdiada() {
    // The hook must not outlive this object; the next commit folds what is due.
    if (m_handle && HandleNativo(BancoDeDados()) == m_handle)
        sqlite3_wal_autocheckpoint(m_handle, PaginasPorConsolidacao);
}

int ConsolidacaoAdiada::AoGravar(void* proprio, sqlite3*, const char*, int paginas) {
    static_cast<ConsolidacaoAdiada*>(proprio)->m_paginas = paginas;
    return SQLITE_OK;
}

void ConsolidacaoAdiada::ConsolidaSeDevida() {
    if (m_paginas < PaginasPorConsolidacao || !m_handle || HandleNativo(BancoDeDados()) != m_handle)
        return;
    sqlite3_wal_checkpoint_v2(m_handle, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    m_paginas = 0;
}
