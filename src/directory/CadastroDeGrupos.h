#pragma once
// Groups of users in the store: the list, one group's row, saving and deleting. Every change
// runs in one transaction; a failure leaves the database as it was and says why in erro.
#include "store/ListaDeNomes.h"

#include <QString>

struct Grupo {
    qint32 id = 0; // 0 for a group not yet stored
    QString nome;
    QString descricao;
};

enum class Gravacao { Gravado, NomeRepetido, Falhou };

// Every group in name order, each name with its ID_Grupo.
ListaDeNomes LeGrupos();
// The row of one group; false (and erro empty) when it no longer exists.
bool LeGrupo(qint32 id, Grupo& grupo, QString* erro = nullptr);
// A new group (id 0) is inserted and receives its id; an existing one is updated. A name that
// another group already has, as the store compares names, is refused and nothing is written.
Gravacao GravaGrupo(Grupo& grupo, QString* erro = nullptr);
// Deletes the group's memberships, then the group; users stay.
bool ExcluiGrupo(qint32 id, QString* erro = nullptr);
