#include "directory/VisualizacaoDeUsuarios.h"

#include "directory/CadastroDeUsuarios.h"
#include "directory/FalhaNoBanco.h"
#include "store/BancoDeDados.h"
#include "store/ComandosUsuarios.h"
#include "store/Snapshot.h"
#include "store/Transacao.h"

ListaDeNomes LeUsuariosEmOrdem() {
    return LeListaDeNomes(ComandosUsuarios::NomesEmOrdem);
}

QString DetalhesDoUsuario(qint32 idUsuario) {
    QString erro;
    const std::optional<UsuarioCadastrado> usuario = LeUsuario(idUsuario, &erro);
    Snapshot grupos(ComandosUsuarios::GruposDoUsuario, {idUsuario});
    if (!erro.isEmpty() || !grupos.Valido())
        return QStringLiteral("Não foi possível ler este usuário %1.").arg(NoBancoDeDados());
    if (!usuario)
        return QStringLiteral("Este usuário não está mais no cadastro; ele pode ter sido excluído.");
    const QString crlf = QStringLiteral("\r\n");
    const QString linhaDosGrupos =
        grupos.Eof() ? QStringLiteral("Grupos: Não pertence a nenhum grupo.")
                     : QStringLiteral("Grupos: Pertence a %1 grupo(s).").arg(grupos.RecordCount());
    return QStringLiteral("Código do Pager: ") + usuario->dados.pager + crlf +
           QStringLiteral("Data de Cadastro: ") + usuario->dataCadastro + crlf + linhaDosGrupos + crlf +
           QStringLiteral("Descrição: ") + usuario->dados.descricao;
}

bool ExcluiUsuario(Operador& operador, qint32 idUsuario) {
    Transacao transacao;
    QString erro = transacao.Erro();
    const int excluidos =
        transacao.Iniciada() ? ExecutaContando(ComandosUsuarios::Exclui, {idUsuario}, &erro) : -1;
    const bool ok = excluidos >= 0 && Executa(ComandosUsuarios::ExcluiMembros, {idUsuario}, &erro) &&
                    transacao.Confirma();
    if (!ok) {
        if (erro.isEmpty())
            erro = transacao.Erro();
        if (erro == Transacao::Ocupado)
            InformaFalhaNoBanco(operador, QStringLiteral("excluir o usuário"), erro);
        else
            operador.Mensagem(
                QStringLiteral(
                    "Não foi possível excluir o usuário %1. Nada foi alterado no cadastro.\n\n(%2)")
                    .arg(NoBancoDeDados(), erro),
                QStringLiteral("Erro:"), Icone::Informacao);
    } else if (excluidos == 0) {
        InformaOutraMesa(operador,
                         QStringLiteral("Este usuário já tinha sido excluído em outra mesa. A lista "
                                        "de usuários foi atualizada."));
    }
    return ok;
}
