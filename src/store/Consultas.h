#pragma once
// The statements the composition window and the sending code run, with bound values.
#include <QString>

namespace Consultas {

// Every user, in name order (namesakes by identifier).
inline const QString ListaUsuarios =
    QStringLiteral("Select u.* from Usuarios_Chave k Join Usuarios u On u.ID_Usuario = k.ID_Usuario "
                   "Order by k.Chave, k.ID_Usuario");
// Every group, in name order.
inline const QString ListaGrupos =
    QStringLiteral("Select g.* from Grupos_Chave k Join Grupos g On g.ID_Grupo = k.ID_Grupo "
                   "Order by k.Chave, k.ID_Grupo");
// Identifier and name of every user or group, in name order, for LeListaDeNomes.
inline const QString IdsENomesDosUsuarios =
    QStringLiteral("Select ID_Usuario, Nome_Usuario from Usuarios_Chave Order by Chave, ID_Usuario");
inline const QString IdsENomesDosGrupos =
    QStringLiteral("Select ID_Grupo, Nome_Grupo from Grupos_Chave Order by Chave, ID_Grupo");
// Pager code and name of one user; binds ID_Usuario.
inline const QString PagerDoUsuario =
    QStringLiteral("Select ID_Pager, Nome_Usuario from Usuarios Where ID_Usuario = ?");
// The members of one group, each user once (a pair stored twice still means one page); binds
// ID_Grupo.
inline const QString MembrosDoGrupo =
    QStringLiteral("Select Distinct ID_Usuario From Usuario_Grupo Where ID_Grupo = ? Order By ID_Usuario");
// The same with each member's pager code and name, in one statement, so a send sees the group and
// its users as one state of the file, whatever another desk saves meanwhile; a member whose user
// row is gone comes with nulls. Binds ID_Grupo.
inline const QString MembrosComDados = QStringLiteral(
    "Select m.ID_Usuario, u.ID_Usuario As Cadastrado, u.ID_Pager, u.Nome_Usuario From (Select Distinct "
    "ID_Usuario From Usuario_Grupo Where ID_Grupo = ?) m Left Join Usuarios u On u.ID_Usuario = "
    "m.ID_Usuario Order By m.ID_Usuario");
// One row of the sent-message history; binds the nine columns in this order.
inline const QString InsereLog = QStringLiteral(
    "Insert Into Log(Data, Hora, Usuario, Mensagem, ID_Pager, ID_Usuario, Situacao, Motivo, Origem) "
    "Values(?, ?, ?, ?, ?, ?, ?, ?, ?)");

} // namespace Consultas

// Records one page in the history. Every value is stored exactly as given: a one-user send
// passes the name padded with blanks to 50 characters, and that padding is kept. recusada: the
// terminal refused the pager code; motivo: the reason it gave, empty when none; origem: who asked
// for the page ("janela", "linha de comando", the queue's source of it).
bool GravaLog(const QString& data, const QString& hora, const QString& usuario, const QString& mensagem,
              const QString& idPager, qint32 idUsuario, bool recusada = false, const QString& motivo = {},
              const QString& origem = {}, QString* erro = nullptr);
// How a row's outcome reads: "entregue", or "recusada pela central" with the reason when given.
QString DescreveSituacao(const QString& situacao, const QString& motivo);
