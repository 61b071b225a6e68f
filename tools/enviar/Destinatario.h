#pragma once
// The recipient named on the command line, found as the store compares names (the NOME
// collation: a Portuguese reader's equality, case ignored).
#include <QString>

struct Destinatario {
    qint32 id = 0;
    QString erro;              // not empty when no send can start; says what matched
    bool falhaDoBanco = false; // the store could not be read (rather than a recipient error)
};

// A user with a pager code, or the error.
Destinatario ProcuraUsuario(const QString& nome);
// A group with at least one member, or the error.
Destinatario ProcuraGrupo(const QString& nome);
