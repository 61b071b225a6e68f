#pragma once
// Creating, altering and reading one pager user with his group marks.
#include "common/Operador.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

inline const QString DescricaoPadraoDoUsuario = QStringLiteral("Não há descrição para este usuário.");

struct DadosDoUsuario {
    QString pager;
    QString nome;
    QString descricao;
};

struct UsuarioCadastrado {
    qint32 id = 0;
    DadosDoUsuario dados;
    QString dataCadastro; // "dd/mm/yyyy"
};

struct GrupoParaMarcar {
    qint32 id = 0;
    QString nome;
    bool marcado = false;
};

struct GruposParaMarcar {
    QVector<GrupoParaMarcar> grupos; // in name order
    QString erro;
};

// Every group in name order, those the user belongs to marked (0: no user, nothing marked).
GruposParaMarcar LeGruposParaMarcar(qint32 idUsuario);

// The user's row; empty when he is not in the directory (erro tells a store failure apart).
std::optional<UsuarioCadastrado> LeUsuario(qint32 idUsuario, QString* erro = nullptr);

// The refusals of an empty pager code or name, told to the operator. True when saving may go on.
bool ConfereCamposDoUsuario(Operador& operador, const DadosDoUsuario& dados);

// What the dialog showed of the user it saves: his row and the groups he belonged to, as read.
// A save writes only while the store still holds them, so a change another desk made meanwhile is
// never overwritten unseen.
struct UsuarioLido {
    UsuarioCadastrado usuario;             // id 0: a new user
    std::optional<QVector<qint32>> grupos; // empty when the groups could not be read
};

enum class Conflito { Nenhum, UsuarioAlterado, UsuarioExcluido, GrupoExcluido };

// Saves a new user (lido.usuario.id 0) or alters one, then rewrites his memberships from the
// marked groups, all in one transaction; without marks (the groups could not be read) his
// memberships stay as they are. A new user whose pager code is in use is refused; so is a change
// to a user another desk altered or deleted since he was read, or that marks a group deleted
// meanwhile (conflito says which). Returns the user's identifier, or 0 when nothing was written;
// the operator has then been told why.
qint32 GravaUsuario(Operador& operador, const UsuarioLido& lido, const DadosDoUsuario& dados,
                    const std::optional<QVector<qint32>>& gruposMarcados, const QDate& hoje,
                    Conflito* conflito = nullptr);
