#include "PaginasDaFila.h"

#include "store/Consultas.h"
#include "store/Snapshot.h"

namespace {
constexpr int TamanhoDoNome = 50; // the user dialog's limit
} // namespace

PaginasDoDestino PaginasPara(TipoDeDestino tipo, const QString& destino, const QString& nome, Busca busca) {
    PaginasDoDestino r;
    if (tipo == TipoDeDestino::Pager) {
        r.paginas.append({destino, nome.isEmpty() ? QString() : nome.leftJustified(TamanhoDoNome), 0, {}});
        return r;
    }
    const bool usuario = tipo == TipoDeDestino::Usuario;
    const Destinatario achado = usuario ? ProcuraUsuario(destino, busca) : ProcuraGrupo(destino, busca);
    if (!achado.erro.isEmpty()) {
        r.erro = achado.erro;
        r.falhaDoBanco = achado.falhaDoBanco;
        r.desconhecido = achado.desconhecido;
        return r;
    }
    QVector<qint32> ids{achado.id};
    if (!usuario) {
        ids.clear();
        for (Snapshot membros(Consultas::MembrosDoGrupo, {achado.id}); !membros.Eof(); membros.MoveNext())
            ids << membros.Campo(QStringLiteral("ID_Usuario")).toInt();
    }
    for (const qint32 id : ids) {
        Snapshot dados(Consultas::PagerDoUsuario, {id});
        if (!dados.Valido()) {
            r.paginas.clear();
            r.erro = QStringLiteral("não foi possível ler o cadastro (%1); nada foi posto na fila.")
                         .arg(dados.Erro());
            r.falhaDoBanco = true;
            return r;
        }
        const QString pager = dados.Campo(QStringLiteral("ID_Pager")).toString().trimmed();
        const QString nomeDoUsuario = dados.Campo(QStringLiteral("Nome_Usuario")).toString();
        if (dados.Eof() || pager.isEmpty()) {
            r.avisos << QStringLiteral(
                            "o usuário %1 do grupo não está no cadastro ou não tem código de pager: "
                            "fica fora da fila.")
                            .arg(id);
            continue;
        }
        r.paginas.append({pager,
                          usuario ? nomeDoUsuario.left(TamanhoDoNome).leftJustified(TamanhoDoNome)
                                  : nomeDoUsuario.left(TamanhoDoNome).trimmed(),
                          id,
                          {}});
    }
    if (r.paginas.isEmpty())
        r.erro = QStringLiteral("nenhum membro do grupo tem código de pager; nada foi posto na fila.");
    return r;
}
