#include "directory/CadastroDeGrupos.h"

#include "store/ChaveDeOrdem.h"
#include "store/ComandosUsuarios.h"
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

Gravacao GravaGrupo(Grupo& grupo, const Grupo& lido, QString* erro) {
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
        const qint32 id = InsereComContador(
            QStringLiteral("Insert Into Grupos (Descricao_Grupo, Nome_Grupo) Values (?, ?)"),
            {grupo.descricao, grupo.nome}, &motivo);
        if (id == 0)
            return Falhou(erro, motivo);
        if (!transacao.Confirma())
            return Falhou(erro, transacao.Erro());
        grupo.id = id;
        return Gravacao::Gravado;
    }
    const int alterados = ExecutaContando(
        QStringLiteral("Update Grupos Set Descricao_Grupo = ?, Nome_Grupo = ? Where ID_Grupo = ? And "
                       "Nome_Grupo = ? And Descricao_Grupo = ?"),
        {grupo.descricao, grupo.nome, grupo.id, lido.nome, lido.descricao}, &motivo);
    if (alterados < 0)
        return Falhou(erro, motivo);
    if (alterados == 0) {
        Grupo agora;
        if (LeGrupo(grupo.id, agora, &motivo))
            return Gravacao::AlteradoNoutraMesa;
        return motivo.isEmpty() ? Gravacao::ExcluidoNoutraMesa : Falhou(erro, motivo);
    }
    if (!transacao.Confirma())
        return Falhou(erro, transacao.Erro());
    return Gravacao::Gravado;
}

bool ExcluiGrupo(qint32 id, QString* erro, bool* jaExcluido) {
    Transacao transacao;
    if (!transacao.Iniciada())
        return Falha(erro, transacao.Erro());
    QString motivo;
    // Memberships first: none may point at a group that is gone.
    const int excluidos =
        Executa(QStringLiteral("Delete From Usuario_Grupo Where ID_Grupo = ?"), {id}, &motivo)
            ? ExecutaContando(QStringLiteral("Delete From Grupos Where ID_Grupo = ?"), {id}, &motivo)
            : -1;
    if (excluidos < 0)
        return Falha(erro, motivo);
    if (!transacao.Confirma())
        return Falha(erro, transacao.Erro());
    if (jaExcluido)
        *jaExcluido = excluidos == 0;
    return true;
}
