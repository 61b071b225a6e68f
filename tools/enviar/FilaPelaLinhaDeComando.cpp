#include "FilaPelaLinhaDeComando.h"

#include "PaginasDaFila.h"
#include "fila/AvisoDaFila.h"
#include "fila/FilaDeEnvio.h"
#include "shell/LocalDoBanco.h"
#include "store/BancoDeDados.h"

#include <QFileInfo>

namespace {

bool AbreBanco(const QString& banco, OperadorDeConsole& console) {
    const AberturaDoBanco abertura = AbreBancoDoPrograma(banco);
    if (!abertura.aviso.isEmpty())
        console.Aviso(abertura.aviso);
    if (abertura.aberto)
        return true;
    console.Aviso(QStringLiteral("não foi possível abrir o banco de dados %1: ausente, danificado, protegido "
                                 "contra escrita ou sem as tabelas do Bipvox; nada foi posto na fila.%2")
                      .arg(banco.isEmpty() ? DescreveLocalDoBanco(abertura.local)
                                           : QLatin1Char('"') + banco + QLatin1Char('"'),
                           abertura.erro.isEmpty() ? QString() : QLatin1Char(' ') + abertura.erro));
    return false;
}

// The pages of the recipient, each member left out said to the operator.
SaidaDoEnvio Paginas(const OpcoesDoEnvio& opcoes, const QString& mensagem, OperadorDeConsole& console,
                     QVector<Fila::PaginaNova>& paginas) {
    const TipoDeDestino tipo = opcoes.dadas.contains(QStringLiteral("--pager"))     ? TipoDeDestino::Pager
                               : opcoes.dadas.contains(QStringLiteral("--usuario")) ? TipoDeDestino::Usuario
                                                                                    : TipoDeDestino::Grupo;
    const PaginasDoDestino achadas = PaginasPara(tipo,
                                                 tipo == TipoDeDestino::Pager     ? opcoes.pager
                                                 : tipo == TipoDeDestino::Usuario ? opcoes.usuario
                                                                                  : opcoes.grupo,
                                                 opcoes.nome);
    for (const QString& aviso : achadas.avisos)
        console.Aviso(aviso);
    if (!achadas.erro.isEmpty()) {
        console.Aviso(achadas.erro);
        return achadas.falhaDoBanco ? SemPortaOuBanco : ErroDeUso;
    }
    paginas = achadas.paginas;
    for (Fila::PaginaNova& p : paginas)
        p.mensagem = mensagem;
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
