#pragma once
// Where Pager.Mdb lives, one rule for the window, bipvox-enviar and bipvox-servidor:
// the file named on the command line; else the [BANCO] Arquivo= key of Bipvoxcf.INI; else a
// Pager.Mdb beside the program (the portable layout); else the user's data folder
// ($XDG_DATA_HOME/bipvox/Pager.Mdb), created empty on first use. With Tipo=PostgreSQL in
// [BANCO], and no file on the command line, a database on a PostgreSQL server instead.
#include "store/PostgreSQL.h"

#include <QString>

#include <optional>

enum class OrigemDoBanco { Opcao, Configuracao, AoLadoDoPrograma, PastaDoUsuario, Servidor };

struct LocalDoBanco {
    QString caminho; // absolute; for a server, its description
    OrigemDoBanco origem = OrigemDoBanco::Opcao;
};

// The server [BANCO] names (Tipo=PostgreSQL; Servidor, Porta, Banco, Usuario), or nothing for
// the usual file. erro is set, and nothing returned, for a Tipo or Porta it cannot take.
std::optional<ConexaoPostgreSQL> ServidorConfigurado(QString* erro);

// The rule alone. A relative option is taken from the current folder, a relative key from the
// settings file's folder; blanks around either mean nothing.
LocalDoBanco EscolheLocalDoBanco(const QString& opcao, const QString& configurado,
                                 const QString& pastaDoPrograma, const QString& pastaDoINI,
                                 const QString& pastaDeDados);

// The rule with this process's inputs (settings file, program folder, XDG data folder).
LocalDoBanco LocalDoBancoDoPrograma(const QString& opcao = QString());

struct AberturaDoBanco {
    LocalDoBanco local;
    bool aberto = false;
    bool criado = false; // a new empty file was made in the user's data folder
    QString erro;        // why it was refused, when the reason is more than the usual one
    QString aviso;       // the file was upgraded: where the copy of it was kept
};

// Finds the file, creates the per-user one (and its folder) when it is missing, and opens it.
AberturaDoBanco AbreBancoDoPrograma(const QString& opcao = QString());

// The place as said to a person: "Pager.Mdb ao lado do programa (/usr/...)" and so on.
QString DescreveLocalDoBanco(const LocalDoBanco& local);
