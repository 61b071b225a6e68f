#include "FilaPelaLinhaDeComando.h"

#include "Destinatario.h"
#include "fila/AvisoDaFila.h"
#include "fila/FilaDeEnvio.h"
#include "shell/LocalDoBanco.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"

#include <QFileInfo>

namespace {

constexpr int TamanhoDoNome = 50; // the user dialog's limit

bool AbreBanco(const QString& banco, OperadorDeConsole& console) {
    const AberturaDoBanco abertura = AbreBancoDoPrograma(banco);
    if (abertura.aberto)
        return true;
    console.Aviso(QStringLiteral("não foi possível abrir o banco de dados %1: ausente, danificado, protegido "
                                 "contra escrita ou sem as tabelas do Bipvox; nada foi posto na fila.")
                      .arg(banco.isEmpty() ? DescreveLocalDoBanco(abertura.local)
                                           : QLatin1Char('"') + banco + QLatin1Char('"')));
    return false;
}

// The pages of the recipient, named as the Log row of a window send names them: a one-user send
// pads the name to 50 characters, a group member's is trimmed. Members without a user row or a
// code are left out, and said.
SaidaDoEnvio Paginas(const OpcoesDoEnvio& opcoes, const QString& mensagem, OperadorDeConsole& console,
                     QVector<Fila::PaginaNova>& paginas) {
    if (opcoes.dadas.contains(QStringLiteral("--pager"))) {
        paginas.append({opcoes.pager,
                        opcoes.nome.isEmpty() ? QString() : opcoes.nome.leftJustified(TamanhoDoNome), 0,
                        mensagem});
        return TodasAceitas;
    }
    const bool usuario = opcoes.dadas.contains(QStringLiteral("--usuario"));
    const Destinatario destino = usuario ? ProcuraUsuario(opcoes.usuario) : ProcuraGrupo(opcoes.grupo);
    if (!destino.erro.isEmpty()) {
        console.Aviso(destino.erro);
        return destino.falhaDoBanco ? SemPortaOuBanco : ErroDeUso;
    }
    QVector<qint32> ids{destino.id};
    if (!usuario) {
        ids.clear();
        for (Snapshot membros(Consultas::MembrosDoGrupo, {destino.id}); !membros.Eof(); membros.MoveNext())
            ids << membros.Campo(QStringLiteral("ID_Usuario")).toInt();
    }
    for (const qint32 id : ids) {
        Snapshot dados(Consultas::PagerDoUsuario, {id});
        if (!dados.Valido()) {
            console.Aviso(QStringLiteral("não foi possível ler o cadastro (%1); nada foi posto na fila.")
                              .arg(dados.Erro()));
            return SemPortaOuBanco;
        }
        const QString pager = dados.Campo(QStringLiteral("ID_Pager")).toString().trimmed();
        const QString nome = dados.Campo(QStringLiteral("Nome_Usuario")).toString();
        if (dados.Eof() || pager.isEmpty()) {
            console.Aviso(
                QStringLiteral("o usuário %1 do grupo não está no cadastro ou não tem código de pager: "
                               "fica fora da fila.")
                    .arg(id));
            continue;
        }
        paginas.append({pager,
                        usuario ? nome.left(TamanhoDoNome).leftJustified(TamanhoDoNome)
                                : nome.left(TamanhoDoNome).trimmed(),
                        id, mensagem});
    }
    if (paginas.isEmpty()) {
        console.Aviso(QStringLiteral("nenhum membro do grupo tem código de pager; nada foi posto na fila."));
        return ErroDeUso;
    }
    return TodasAceitas;
}

QString Linha(const Fila::Pagina& p) {
    const QString proxima = p.situacao == Fila::Situacao::Aguardando
                                ? p.proxima.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                : QStringLiteral("-");
    return QStringLiteral("%1\t%2\t%3\t%4\t%5")
        .arg(p.id)
        .arg(Fila::NomeDaSituacao(p.situacao))
        .arg(p.tentativas)
        .arg(proxima, Escapado(p.motivo));
}

} // namespace

SaidaDoEnvio EnfileiraPelaLinhaDeComando(const OpcoesDoEnvio& opcoes, const QString& mensagem,
                                         OperadorDeConsole& console, const Relogio& relogio,
                                         std::FILE* saida) {
    if (!AbreBanco(opcoes.banco, console))
        return SemPortaOuBanco;
    QVector<Fila::PaginaNova> paginas;
    SaidaDoEnvio resultado = Paginas(opcoes, mensagem, console, paginas);
    QString erro;
    QVector<qint64> ids;
    if (resultado == TodasAceitas &&
        (!Fila::GaranteTabela(&erro) || !Fila::Enfileira(paginas, QStringLiteral("linha de comando"),
                                                         relogio.DataHoraLocal().toUTC(), ids, &erro))) {
        console.Aviso(QStringLiteral("a fila não pôde ser gravada (%1); nada foi posto na fila.").arg(erro));
        resultado = SemPortaOuBanco;
    }
    if (resultado == TodasAceitas) {
        for (const qint64 id : ids)
            std::fprintf(saida, "%lld\n", static_cast<long long>(id));
        std::fflush(saida);
        AvisaServicoDaFila();
        console.Andamento(QStringLiteral("%1 página(s) na fila").arg(ids.size()));
    }
    FechaBancoDeDados();
    return resultado;
}

SaidaDoEnvio MostraSituacao(const OpcoesDoEnvio& opcoes, OperadorDeConsole& console, std::FILE* saida) {
    if (!AbreBanco(opcoes.banco, console))
        return SemPortaOuBanco;
    SaidaDoEnvio resultado = TodasAceitas;
    QString erro;
    if (!Fila::GaranteTabela(&erro)) {
        console.Aviso(QStringLiteral("a fila não pôde ser lida (%1).").arg(erro));
        resultado = SemPortaOuBanco;
    }
    for (int i = 0; resultado != SemPortaOuBanco && i < opcoes.palavras.size(); ++i) {
        const qint64 id = opcoes.palavras[i].toLongLong();
        const std::optional<Fila::Pagina> pagina = Fila::LePagina(id, &erro);
        if (pagina) {
            std::fprintf(saida, "%s\n", Linha(*pagina).toUtf8().constData());
        } else {
            console.Aviso(QStringLiteral("a página %1 não está na fila.").arg(id));
            resultado = ErroDeUso;
        }
    }
    std::fflush(saida);
    FechaBancoDeDados();
    return resultado;
}
