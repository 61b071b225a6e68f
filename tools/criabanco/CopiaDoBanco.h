#pragma once
// A whole store copied between a Pager.Mdb and a PostgreSQL server, either way, so a site can move
// when it grows: every row with its identifier, the history in its order, counters going on past
// the largest identifier ever given. The name keys are made by the destination's own triggers.
// The source is only read; the destination is filled in one transaction, or left as it was.
#include <QString>

struct ConexaoPostgreSQL;

struct ContagemDaCopia {
    qint64 usuarios = 0;
    qint64 grupos = 0;
    qint64 participacoes = 0;
    qint64 mensagens = 0;
    qint64 paginas = 0;
    qint64 participacoesSemDono = 0; // of a user or group that no longer exists: left out
    // "Copiados: N usuários, ...", as printed at the end.
    QString Texto() const;
};

// The file (any schema version up to the program's, read as it is) into the empty database, whose
// tables are made in the same transaction. False, with a Portuguese reason naming the place.
bool CopiaArquivoParaServidor(const QString& arquivo, const ConexaoPostgreSQL& conexao,
                              ContagemDaCopia& contagem, QString* erro);
// The server's database into a new file, never over an existing one; removed again on failure.
bool CopiaServidorParaArquivo(const ConexaoPostgreSQL& conexao, const QString& arquivo,
                              ContagemDaCopia& contagem, QString* erro);
