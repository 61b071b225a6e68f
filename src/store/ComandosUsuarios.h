#pragma once
// The statements of the user directory, with bound values, so quotes and apostrophes in a name
// are stored as typed.
#include <QString>
#include <QVariantList>

namespace ComandosUsuarios {

// Users and their identifiers in name order (identifier first).
inline const QString NomesEmOrdem =
    QStringLiteral("Select ID_Usuario, Nome_Usuario from Usuarios_Chave Order by Chave, ID_Usuario");
// One user's row; binds ID_Usuario.
inline const QString Usuario = QStringLiteral("Select * From Usuarios Where ID_Usuario = ?");
// Users whose pager code is the same pager to a terminal: blanks around it are never sent and
// letter case does not tell pagers apart. Binds ID_Pager.
inline const QString PorPager =
    QStringLiteral("Select * from Usuarios Where Upper(Trim(ID_Pager)) = Upper(Trim(?))");
// Binds Descricao, ID_Pager, Data_Cadastro, Nome_Usuario.
inline const QString Insere = QStringLiteral(
    "Insert Into Usuarios (Descricao, ID_Pager, Data_Cadastro, Nome_Usuario) Values (?, ?, ?, ?)");
// Binds Descricao, ID_Pager, Nome_Usuario, ID_Usuario; Data_Cadastro is never rewritten.
inline const QString Altera =
    QStringLiteral("Update Usuarios Set Descricao = ?, ID_Pager = ?, Nome_Usuario = ? Where ID_Usuario = ?");
// The same, only while the row still holds what the desk read: binds the three new values,
// ID_Usuario, then Descricao, ID_Pager and Nome_Usuario as read. No row matched: another desk
// altered or deleted him meanwhile.
inline const QString AlteraSeIgual =
    Altera + QStringLiteral(" And Descricao = ? And ID_Pager = ? And Nome_Usuario = ?");
inline const QString Exclui = QStringLiteral("Delete From Usuarios Where ID_Usuario = ?");

// Every group in name order (identifier first), for the marks of the entry dialog.
inline const QString GruposEmOrdem =
    QStringLiteral("Select ID_Grupo, Nome_Grupo from Grupos_Chave Order by Chave, ID_Grupo");
// The groups one user belongs to; binds ID_Usuario.
inline const QString GruposDoUsuario =
    QStringLiteral("Select Distinct ID_Grupo From Usuario_Grupo Where ID_Usuario = ?");
// The pair only while both the user and the group exist (no row: one was deleted meanwhile);
// binds ID_Usuario, ID_Grupo.
inline const QString InsereMembro =
    QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Select u.ID_Usuario, g.ID_Grupo From "
                   "Usuarios u, Grupos g Where u.ID_Usuario = ? And g.ID_Grupo = ?");
inline const QString ExcluiMembros = QStringLiteral("Delete From Usuario_Grupo Where ID_Usuario = ?");

} // namespace ComandosUsuarios

// Runs an INSERT and gives the counter the store assigned to the new row, or 0 when the store
// refused it (reason in erro).
qint32 InsereComContador(const QString& sql, const QVariantList& parametros, QString* erro = nullptr);
