#include "directory/CadastroDeUsuarios.h"

#include "directory/FalhaNoBanco.h"

#include "store/BancoDeDados.h"
#include "store/ComandosUsuarios.h"
#include "store/ListaDeNomes.h"
#include "store/Snapshot.h"
#include "store/Transacao.h"

#include <QSet>

#include <algorithm>

namespace {
const QString TituloAdvertencia = QStringLiteral("Advertência:");
const QString TituloErro = QStringLiteral("Erro:");

void AvisaFalhaAoGravar(Operador& operador, const QString& motivo) {
    if (motivo == Transacao::Ocupado) {
        InformaFalhaNoBanco(operador, QStringLiteral("gravar o usuário"), motivo);
        return;
    }
    operador.Mensagem(
        QStringLiteral("Não foi possível gravar o usuário %1. Nada foi alterado no cadastro.\n\n(%2)")
            .arg(NoBancoDeDados(), motivo),
        TituloErro, Icone::Informacao);
}

QString TextoDoConflito(Conflito conflito) {
    switch (conflito) {
    case Conflito::UsuarioAlterado:
        return QStringLiteral(
            "Este usuário foi alterado em outra mesa enquanto você o editava. Para não "
            "desfazer aquela alteração, a sua não foi gravada; nada se perdeu. A ficha "
            "mostra agora os dados como estão no cadastro: confira e, se ainda for preciso, "
            "altere de novo.");
    case Conflito::UsuarioExcluido:
        return QStringLiteral("Este usuário foi excluído em outra mesa enquanto você o editava, então nada "
                              "foi gravado (ele não foi recriado). A lista de usuários foi atualizada.");
    default:
        return QStringLiteral("Um dos grupos marcados foi excluído em outra mesa enquanto você editava este "
                              "usuário, então nada foi gravado; nada se perdeu. A lista de grupos foi "
                              "atualizada: confira as marcas e grave de novo.");
    }
}

QVector<qint32> Ordenados(QVector<qint32> ids) {
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

// The user row and his memberships; false at the first statement the store refuses (erro), or
// where the store no longer holds what the desk read (conflito).
bool GravaDentroDaTransacao(qint32& id, const UsuarioLido& lido, const DadosDoUsuario& dados,
                            const std::optional<QVector<qint32>>& grupos, const QDate& hoje,
                            Conflito& conflito, QString& erro) {
    if (id == 0) {
        id = InsereComContador(
            ComandosUsuarios::Insere,
            {dados.descricao, dados.pager, hoje.toString(QStringLiteral("dd/MM/yyyy")), dados.nome}, &erro);
        if (id == 0)
            return false;
    } else {
        const DadosDoUsuario& antes = lido.usuario.dados;
        const int alterados = ExecutaContando(
            ComandosUsuarios::AlteraSeIgual,
            {dados.descricao, dados.pager, dados.nome, id, antes.descricao, antes.pager, antes.nome}, &erro);
        if (alterados == 0 && LeUsuario(id, &erro))
            conflito = Conflito::UsuarioAlterado;
        else if (alterados == 0 && erro.isEmpty())
            conflito = Conflito::UsuarioExcluido;
        if (alterados <= 0)
            return false;
        if (grupos && lido.grupos) {
            QVector<qint32> agora;
            Snapshot membros(ComandosUsuarios::GruposDoUsuario, {id});
            for (; !membros.Eof(); membros.MoveNext())
                agora << membros.Campo(QStringLiteral("ID_Grupo")).toInt();
            if (!membros.Valido()) {
                erro = membros.Erro();
                return false;
            }
            if (Ordenados(agora) != Ordenados(*lido.grupos)) {
                conflito = Conflito::UsuarioAlterado;
                return false;
            }
        }
        if (grupos && !Executa(ComandosUsuarios::ExcluiMembros, {id}, &erro))
            return false;
    }
    if (!grupos)
        return true;
    for (qint32 grupo : Ordenados(*grupos)) {
        const int inseridos = ExecutaContando(ComandosUsuarios::InsereMembro, {id, grupo}, &erro);
        if (inseridos == 0)
            conflito = Conflito::GrupoExcluido;
        if (inseridos <= 0)
            return false;
    }
    return true;
}
} // namespace

GruposParaMarcar LeGruposParaMarcar(qint32 idUsuario) {
    GruposParaMarcar resultado;
    const ListaDeNomes grupos = LeListaDeNomes(ComandosUsuarios::GruposEmOrdem);
    if (!grupos.erro.isEmpty()) {
        resultado.erro = grupos.erro;
        return resultado;
    }
    QSet<qint32> doUsuario;
    if (idUsuario != 0) {
        Snapshot membros(ComandosUsuarios::GruposDoUsuario, {idUsuario});
        if (!membros.Valido()) {
            resultado.erro = membros.Erro();
            return resultado;
        }
        for (; !membros.Eof(); membros.MoveNext())
            doUsuario.insert(membros.Campo(QStringLiteral("ID_Grupo")).toInt());
    }
    resultado.grupos.reserve(grupos.ids.size());
    for (int i = 0; i < grupos.ids.size(); ++i)
        resultado.grupos.append({grupos.ids[i], grupos.nomes[i], doUsuario.contains(grupos.ids[i])});
    return resultado;
}

std::optional<UsuarioCadastrado> LeUsuario(qint32 idUsuario, QString* erro) {
    Snapshot linha(ComandosUsuarios::Usuario, {idUsuario});
    if (erro)
        *erro = linha.Erro();
    if (!linha.Valido() || linha.Eof())
        return std::nullopt;
    UsuarioCadastrado usuario;
    usuario.id = linha.Campo(QStringLiteral("ID_Usuario")).toInt();
    usuario.dados.pager = linha.Campo(QStringLiteral("ID_Pager")).toString();
    usuario.dados.nome = linha.Campo(QStringLiteral("Nome_Usuario")).toString();
    usuario.dados.descricao = linha.Campo(QStringLiteral("Descricao")).toString();
    usuario.dataCadastro = linha.Campo(QStringLiteral("Data_Cadastro")).toString();
    return usuario;
}

bool ConfereCamposDoUsuario(Operador& operador, const DadosDoUsuario& dados) {
    if (dados.pager.isEmpty()) {
        operador.Mensagem(QStringLiteral("Desculpe, mas para criar um novo usuário você deve informar o seu "
                                         "respectivo código do pager."),
                          TituloAdvertencia, Icone::Informacao);
        return false;
    }
    if (dados.nome.isEmpty()) {
        operador.Mensagem(
            QStringLiteral(
                "Desculpe, mas para criar um novo usuário você deve informar o seu respectivo nome."),
            TituloAdvertencia, Icone::Informacao);
        return false;
    }
    return true;
}

qint32 GravaUsuario(Operador& operador, const UsuarioLido& lido, const DadosDoUsuario& digitados,
                    const std::optional<QVector<qint32>>& gruposMarcados, const QDate& hoje,
                    Conflito* conflito) {
    Conflito desfecho = Conflito::Nenhum;
    if (conflito)
        *conflito = desfecho;
    DadosDoUsuario dados = digitados;
    if (dados.descricao.isEmpty())
        dados.descricao = DescricaoPadraoDoUsuario;
    // The pager check and the insert, or the comparison with what was read and the change, are
    // one write-locked transaction: no other desk can come between them.
    Transacao transacao;
    if (!transacao.Iniciada()) {
        AvisaFalhaAoGravar(operador, transacao.Erro());
        return 0;
    }
    if (lido.usuario.id == 0) {
        Snapshot mesmoPager(ComandosUsuarios::PorPager, {dados.pager});
        if (!mesmoPager.Valido()) {
            AvisaFalhaAoGravar(operador, mesmoPager.Erro());
            return 0;
        }
        if (!mesmoPager.Eof()) {
            operador.Mensagem(
                QStringLiteral("Desculpe, mas você não deve possuir dois usuários que utilizem o "
                               "mesmo código de pager."),
                TituloErro, Icone::Informacao);
            return 0;
        }
    }
    qint32 id = lido.usuario.id;
    QString erro;
    if (!GravaDentroDaTransacao(id, lido, dados, gruposMarcados, hoje, desfecho, erro)) {
        if (conflito)
            *conflito = desfecho;
        if (desfecho != Conflito::Nenhum)
            InformaOutraMesa(operador, TextoDoConflito(desfecho));
        else
            AvisaFalhaAoGravar(operador, erro);
        return 0;
    }
    if (!transacao.Confirma()) {
        AvisaFalhaAoGravar(operador, transacao.Erro());
        return 0;
    }
    return id;
}
