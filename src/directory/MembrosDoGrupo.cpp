#include "directory/MembrosDoGrupo.h"

#include "store/ChaveDeOrdem.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"
#include "store/Transacao.h"

#include <QSet>

namespace {
Adicao Falhou(QString* erro, const QString& motivo) {
    if (erro)
        *erro = motivo;
    return Adicao::Falhou;
}
} // namespace

ListaDeNomes LeUsuarios() {
    return LeListaDeNomes(Consultas::IdsENomesDosUsuarios);
}

ListaDeNomes LeMembros(qint32 idGrupo, const ListaDeNomes& usuarios) {
    ListaDeNomes membros;
    membros.erro = usuarios.erro;
    const ListaDeNomes pares = LeListaDeNomes(
        QStringLiteral("Select ID_Usuario, '' From Usuario_Grupo Where ID_Grupo = ?"), {idGrupo});
    if (!pares.erro.isEmpty())
        membros.erro = pares.erro;
    if (!membros.erro.isEmpty())
        return membros;
    // Picked out of the list already in name order: sorting by the name collation instead
    // would take seconds for a group of tens of thousands.
    const QSet<qint32> ids(pares.ids.cbegin(), pares.ids.cend());
    for (int i = 0; i < usuarios.ids.size(); ++i) {
        if (ids.contains(usuarios.ids[i])) {
            membros.ids.append(usuarios.ids[i]);
            membros.nomes.append(usuarios.nomes[i]);
        }
    }
    return membros;
}

Adicao AdicionaMembro(qint32 idUsuario, qint32 idGrupo, QString* erro) {
    Transacao transacao;
    if (!transacao.Iniciada())
        return Falhou(erro, transacao.Erro());
    Snapshot situacao(
        QStringLiteral("Select (Select Count(*) From Usuarios Where ID_Usuario = ?) As Usuario, "
                       "(Select Count(*) From Grupos Where ID_Grupo = ?) As Grupo, "
                       "(Select Count(*) From Usuario_Grupo Where ID_Usuario = ? and ID_Grupo = ?) As Par"),
        {idUsuario, idGrupo, idUsuario, idGrupo});
    if (!situacao.Valido())
        return Falhou(erro, situacao.Erro());
    if (situacao.Campo(QStringLiteral("Usuario")).toInt() == 0)
        return Adicao::UsuarioAusente;
    if (situacao.Campo(QStringLiteral("Grupo")).toInt() == 0)
        return Adicao::GrupoAusente;
    if (situacao.Campo(QStringLiteral("Par")).toInt() > 0)
        return Adicao::JaEraMembro;
    QString motivo;
    if (!Executa(QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, ?)"),
                 {idUsuario, idGrupo}, &motivo))
        return Falhou(erro, motivo);
    if (!transacao.Confirma())
        return Falhou(erro, transacao.Erro());
    return Adicao::Adicionado;
}

bool RemoveMembro(const QString& nome, qint32 idGrupo, QString* erro) {
    // One statement: every namesake leaves together or none does.
    return Executa(QStringLiteral("Delete From Usuario_Grupo Where ID_Grupo = ? and ID_Usuario In "
                                  "(Select ID_Usuario From Usuarios_Chave Where Chave = ?)"),
                   {idGrupo, ChaveDeOrdem(nome)}, erro);
}
