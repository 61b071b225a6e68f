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

// AlteradoNoutraMesa, ExcluidoNoutraMesa: the group no longer is as the desk read it; nothing written.
enum class Gravacao { Gravado, NomeRepetido, AlteradoNoutraMesa, ExcluidoNoutraMesa, Falhou };

// Every group in name order, each name with its ID_Grupo.
ListaDeNomes LeGrupos();
// The row of one group; false (and erro empty) when it no longer exists.
bool LeGrupo(qint32 id, Grupo& grupo, QString* erro = nullptr);
// A new group (id 0) is inserted and receives its id; an existing one is updated only while the
// store still holds lido, the group as the desk read it. A name that another group already has,
// as the store compares names, is refused and nothing is written; the check and the write are
// one write-locked transaction, so two desks cannot both pass it.
Gravacao GravaGrupo(Grupo& grupo, const Grupo& lido, QString* erro = nullptr);
// Deletes the group's memberships, then the group; users stay. jaExcluido: another desk had
// deleted it already.
bool ExcluiGrupo(qint32 id, QString* erro = nullptr, bool* jaExcluido = nullptr);
