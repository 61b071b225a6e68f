#pragma once
// While a send is on the line, the write-ahead log is not folded into the file by the commit
// that fills it (tens of milliseconds of flushes, more on a slow disk, between the terminal's
// acceptance and the next block); the sender folds it when it has time to spare, while a block
// crosses the line. The log is folded as often as before, so a power cut can lose no more.
struct sqlite3;

class ConsolidacaoAdiada {
public:
    ConsolidacaoAdiada();
    ~ConsolidacaoAdiada();
    ConsolidacaoAdiada(const ConsolidacaoAdiada&) = delete;
    ConsolidacaoAdiada& operator=(const ConsolidacaoAdiada&) = delete;

    // Folds the log into the file when it has grown to what a commit would have folded.
    void ConsolidaSeDevida();

    // The log's size in pages, as the last commit left it.
    int PaginasNoDiario() const { return m_paginas; }

private:
    static int AoGravar(void* proprio, sqlite3* handle, const char* banco, int paginas);

    sqlite3* m_handle = nullptr;
    int m_paginas = 0;
};
