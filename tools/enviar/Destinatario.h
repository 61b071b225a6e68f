#pragma once
// The recipient named on the command line, found as the store compares names (a Portuguese
// reader's equality: capitals ignored, accents not). Users a reader would take for the same name
// (accents and capitals aside) are refused rather than one of them paged; a name that matched
// nobody brings the closest names of the directory.
#include <QString>

struct Destinatario {
    qint32 id = 0;
    QString erro;              // not empty when no send can start; says what matched
    bool falhaDoBanco = false; // the store could not be read (rather than a recipient error)
    bool desconhecido = false; // no user (group) has that name at all
};

// The one user with that name and a pager code, or the error (listing every namesake).
Destinatario ProcuraUsuario(const QString& nome);
// A group with at least one member, or the error.
Destinatario ProcuraGrupo(const QString& nome);
