#include "directory/CadastroDeUsuarios.h"

#include "store/ComandosUsuarios.h"
#include "store/ListaDeNomes.h"
#include "store/Snapshot.h"
#include "store/Transacao.h"

#include <QSet>

namespace {
const QString TituloAdvertencia = QStringLiteral("Advertência:");
const QString TituloErro = QStringLiteral("Erro:");

void AvisaFalhaAoGravar(Operador& operador, const QString& motivo) {
    operador.Mensagem(QStringLiteral("Não foi possível gravar o usuário no arquivo de dados (Pager.Mdb). "
                                     "Nada foi alterado no cadastro.\n\n(%1)")
                          .arg(motivo),
                      TituloErro, Icone::Informacao);
}

// The user row and his memberships; false at the first statement the store refuses.
bool GravaDentroDaTransacao(qint32& id, const DadosDoUsuario& dados,
                            const std::optional<QVector<qint32>>& grupos, const QDate& hoje, QString& erro) {
    if (id == 0) {
        id = InsereComContador(
            ComandosUsuarios::Insere,
            {dados.descricao, dados.pager, hoje.toString(QStringLiteral("dd/MM/yyyy")), dados.nome}, &erro);
        if (id == 0)
            return false;
    } else if (!Executa(ComandosUsuarios::Altera, {dados.descricao, dados.pager, dados.nome, id}, &erro) ||
               (grupos && !Executa(ComandosUsuarios::ExcluiMembros, {id}, &erro))) {
        return false;
    }
    if (!grupos)
        return true;
    for (qint32 grupo : *grupos)
        if (!Executa(ComandosUsuarios::InsereMembro, {id, grupo}, &erro))
            return false;
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

qint32 GravaUsuario(Operador& operador, qint32 idUsuario, const DadosDoUsuario& digitados,
                    const std::optional<QVector<qint32>>& gruposMarcados, const QDate& hoje) {
    DadosDoUsuario dados = digitados;
    if (dados.descricao.isEmpty())
        dados.descricao = DescricaoPadraoDoUsuario;
    if (idUsuario == 0) {
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
    } else {
        QString erro;
        if (!LeUsuario(idUsuario, &erro)) {
            AvisaFalhaAoGravar(operador,
                               erro.isEmpty() ? QStringLiteral("o usuário não está mais no cadastro") : erro);
            return 0;
        }
    }
    Transacao transacao;
    if (!transacao.Iniciada()) {
        AvisaFalhaAoGravar(operador, transacao.Erro());
        return 0;
    }
    qint32 id = idUsuario;
    QString erro;
    if (!GravaDentroDaTransacao(id, dados, gruposMarcados, hoje, erro)) {
        AvisaFalhaAoGravar(operador, erro);
        return 0;
    }
    if (!transacao.Confirma()) {
        AvisaFalhaAoGravar(operador, transacao.Erro());
        return 0;
    }
    return id;
}
