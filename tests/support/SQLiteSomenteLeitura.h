#pragma once
// While it lives, every SQLite file opened gets a read-only handle, as a write-protected
// Pager.Mdb does for an ordinary user. Works for root too, which file permissions do not bind.
class SQLiteSomenteLeitura {
public:
    SQLiteSomenteLeitura();
    ~SQLiteSomenteLeitura();
    SQLiteSomenteLeitura(const SQLiteSomenteLeitura&) = delete;
    SQLiteSomenteLeitura& operator=(const SQLiteSomenteLeitura&) = delete;
};
