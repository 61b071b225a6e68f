#include "directory/CadastroDeGrupos.h"

#include "store/ChaveDeOrdem.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"
#include "store/Transacao.h"

namespace {
bool Falha(QString* erro, const QString& motivo) {
    if (erro)
        *erro = motivo;
    return false;
}

Gravacao Falhou(QString* erro, const QString& motivo) {
    Falha(erro, motivo);
    return Gravacao::Falhou;
}
} // namespace

ListaDeNomes LeGrupos() {
    return LeListaDeNomes(Consultas::IdsENomesDosGrupos);
}

bool LeGrupo(qint32 id, Grupo& grupo, QString* erro) {
    Snapshot linha(QStringLiteral("Select * from Grupos Where ID_Grupo = ?"), {id});
    if (!linha.Valido())
        return Falha(erro, linha.Erro());
    if (linha.Eof())
        return Falha(erro, QString());
    grupo.id = linha.Campo(QStringLiteral("ID_Grupo")).toInt();
    grupo.nome = linha.Campo(QStringLiteral("Nome_Grupo")).toString();
    grupo.descricao = linha.Campo(QStringLiteral("Descricao_Grupo")).toString();
    return true;
}

Gravacao GravaGrupo(Grupo& grupo, QString* erro) {
    Transacao transacao;
    if (!transacao.Iniciada())
        return Falhou(erro, transacao.Erro());
    // The name key decides equality, so "vendas" repeats "Vendas".
    Snapshot mesmoNome(QStringLiteral("Select ID_Grupo from Grupos_Chave Where Chave = ? and ID_Grupo <> ?"),
                       {ChaveDeOrdem(grupo.nome), grupo.id});
    if (!mesmoNome.Valido())
        return Falhou(erro, mesmoNome.Erro());
    if (!mesmoNome.Eof())
        return Gravacao::NomeRepetido;

    QString motivo;
    if (grupo.id == 0) {
        if (!Executa(QStringLiteral("Insert Into Grupos (Descricao_Grupo, Nome_Grupo) Values (?, ?)"),
                     {grupo.descricao, grupo.nome}, &motivo))
            return Falhou(erro, motivo);
        Snapshot novo(QStringLiteral("Select last_insert_rowid() As ID"));
        if (!novo.Valido())
            return Falhou(erro, novo.Erro());
        const qint32 id = novo.Campo(QStringLiteral("ID")).toInt();
        if (!transacao.Confirma())
            return Falhou(erro, transacao.Erro());
        grupo.id = id;
        return Gravacao::Gravado;
    }
    if (!Executa(QStringLiteral("Update Grupos Set Descricao_Grupo = ?, Nome_Grupo = ? Where ID_Grupo = ?"),
                 {grupo.descricao, grupo.nome, grupo.id}, &motivo))
        return Falhou(erro, motivo);
    if (!transacao.Confirma())
        return Falhou(erro, transacao.Erro());
    return Gravacao::Gravado;
}

bool ExcluiGrupo(qint32 id, QString* erro) {
    Transacao transacao;
    if (!transacao.Iniciada())
        return Falha(erro, transacao.Erro());
    QString motivo;
    // Memberships first: none may point at a group that is gone.
    if (!Executa(QStringLiteral("Delete From Usuario_Grupo Where ID_Grupo = ?"), {id}, &motivo) ||
        !Executa(QStringLiteral("Delete From Grupos Where ID_Grupo = ?"), {id}, &motivo))
        return Falha(erro, motivo);
    if (!transacao.Confirma())
        return Falha(erro, transacao.Erro());
    return true;
}
