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

// How far a name that matched nobody is looked for.
enum class Busca {
    // Every user is read (a name stored with blanks around it, letters beyond the directory's
    // key), and the closest names are suggested.
    Completa,
    // The directory's key alone: for a text that is most likely a pager code, which must not cost
    // a reading of the whole directory (the SNPP gateway, at every PAGE).
    SoAChave,
};

// The one user with that name and a pager code, or the error (listing every namesake).
Destinatario ProcuraUsuario(const QString& nome, Busca busca = Busca::Completa);
// A group with at least one member, or the error.
Destinatario ProcuraGrupo(const QString& nome, Busca busca = Busca::Completa);
