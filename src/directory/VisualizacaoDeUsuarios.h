#pragma once
// What the user browser reads and deletes: the directory in name order, one user's details,
// and a user's removal.
#include "common/Operador.h"
#include "store/ListaDeNomes.h"

#include <QString>

inline const QString SemUsuariosCadastrados = QStringLiteral("Não há usuários cadastrados.");

// Every user in name order, each with his own identifier.
ListaDeNomes LeUsuariosEmOrdem();

// Four lines joined by CR LF: pager code, date of entry, how many groups, description. A user
// who is no longer in the directory, or a store failure, gives a line that says so.
QString DetalhesDoUsuario(qint32 idUsuario);

// Removes the user and his memberships together; his history stays. False, with the operator
// told, when the store refused (then nothing was removed).
bool ExcluiUsuario(Operador& operador, qint32 idUsuario);
