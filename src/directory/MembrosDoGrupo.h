#pragma once
// Who belongs to a group: the members in name order, and adding or removing one.
#include "store/ListaDeNomes.h"

#include <QString>

// UsuarioAusente, GrupoAusente: not in the directory (deleted at another desk); nothing written.
enum class Adicao { Adicionado, JaEraMembro, UsuarioAusente, GrupoAusente, Falhou };

// Every user in name order, each name with its ID_Usuario.
ListaDeNomes LeUsuarios();
// The members of a group, each name with its ID_Usuario, in the order of usuarios (every user,
// as LeUsuarios gives them).
ListaDeNomes LeMembros(qint32 idGrupo, const ListaDeNomes& usuarios);
// Adds the pair once: a member already there is left alone. Refused (nothing written) when the
// user or the group does not exist. The checks and the insert hold the write lock, so two desks
// adding the same pair store it once.
Adicao AdicionaMembro(qint32 idUsuario, qint32 idGrupo, QString* erro = nullptr);
// Every user who bears the name (as the store compares names) leaves the group.
bool RemoveMembro(const QString& nome, qint32 idGrupo, QString* erro = nullptr);
