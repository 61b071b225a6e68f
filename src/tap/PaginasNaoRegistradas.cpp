#include "tap/PaginasNaoRegistradas.h"

#include "common/Modulo.h"
#include "store/BancoDeDados.h"

#include <QDir>
#include <QFile>

namespace {

// False when the file could not be written; the message then says so.
bool GravaNoArquivo(const QString& caminho, const QStringList& linhas) {
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    const QByteArray texto = (linhas.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    return arquivo.write(texto) == texto.size() && arquivo.flush();
}

} // namespace

void PaginasNaoRegistradas::Adiciona(const QDateTime& momento, const QString& nome, const QString& pager,
                                     const QString& mensagem, qint32 idUsuario) {
    const QString quando = momento.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    m_resumo << QStringLiteral("%1 (pager %2), às %3").arg(nome.trimmed(), pager, quando);
    m_linhas << QStringLiteral("%1\tusuário %2\t%3\tpager %4\tmensagem: %5")
                    .arg(quando, QString::number(idUsuario), nome.trimmed(), pager,
                         QString(mensagem).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

void PaginasNaoRegistradas::Informa(Operador& operador) const {
    if (Vazia())
        return;
    const QString pasta = PastaDoBancoDeDados();
    const QString caminho =
        QDir(pasta.isEmpty() ? QDir::currentPath() : pasta).absoluteFilePath(ArquivoDePaginasNaoRegistradas);
    const QString arquivo =
        GravaNoArquivo(caminho, m_linhas)
            ? QStringLiteral("A lista foi gravada no arquivo %1.").arg(QDir::toNativeSeparators(caminho))
            : QStringLiteral("Não foi possível gravar a lista no arquivo %1: anote-a antes de fechar esta "
                             "mensagem.")
                  .arg(QDir::toNativeSeparators(caminho));
    const QString cr = Modulo::CR;
    operador.Mensagem(QStringLiteral("As mensagens abaixo foram entregues à central, mas não puderam ser "
                                     "registradas no histórico:") +
                          cr + cr + m_resumo.join(cr) + cr + cr + arquivo,
                      QStringLiteral("Erro:"), Icone::Informacao);
}
