#pragma once
// The order and equality of names (users, groups, the history's recipient): Portuguese
// alphabetical order, letter case ignored, accents telling names apart only when the letters are
// the same. The keys (tables Usuarios_Chave and Grupos_Chave, column Log.Chave_Usuario) are indexed
// with SQLite's default BINARY comparison and kept by triggers in plain SQL, so a row written by any
// SQLite tool gets its key too; nothing in the file needs the program.
#include <QString>

// The key of the name given by operando (NEW.Nome_Usuario in a trigger, "?" in a query, bound
// once) as an SQL expression of stock functions: the letters without accents, char(1), the
// name in small letters. Only A-Z and the Latin-1 letters with accents change; other characters
// stay as they are. Equal keys mean the same name.
QString ChaveDeOrdemSQL(const QString& operando);

// The same key in PostgreSQL's functions (the schema's bipvox_chave()).
QString ChaveDeOrdemPostgreSQL(const QString& operando);

// The key of a name, computed by the open database with that expression (one definition for the
// triggers and the program). Empty when the database cannot compute it.
QString ChaveDeOrdem(const QString& nome);
