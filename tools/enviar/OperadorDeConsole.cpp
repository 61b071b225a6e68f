#include "OperadorDeConsole.h"

#include <QRegularExpression>

namespace {
// Boxes break their text with CR and LF; a log line must not.
QString NumaLinha(const QString& texto) {
    static const QRegularExpression quebras(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return QString(texto).replace(quebras, QStringLiteral(" ")).trimmed();
}
} // namespace

void OperadorDeConsole::Status(const QString& texto) {
    m_status = texto;
    Andamento(texto);
}

Resposta OperadorDeConsole::Mensagem(const QString& texto, const QString& titulo, Icone, Botoes botoes) {
    // A text that already begins with its title ("Erro: Time Out ...") is not given it twice.
    QString linha = NumaLinha(texto.startsWith(titulo) ? texto : titulo + QLatin1Char(' ') + texto);
    if (botoes == Botoes::SimNao)
        linha += QStringLiteral(" [respondido: Não]");
    Aviso(linha);
    return botoes == Botoes::SimNao ? Resposta::Nao : Resposta::OK;
}

void OperadorDeConsole::MedidorValor(int valor) {
    if (valor > 0 && m_maximo > 0)
        Andamento(QStringLiteral("%1 de %2").arg(valor).arg(m_maximo));
}

void OperadorDeConsole::Andamento(const QString& texto) {
    const QString linha = NumaLinha(texto);
    if (m_silencioso || linha.isEmpty() || linha == m_ultimaLinha)
        return;
    Escreve(linha);
}

void OperadorDeConsole::Aviso(const QString& texto) {
    Escreve(NumaLinha(texto));
}

void OperadorDeConsole::Escreve(const QString& texto) {
    m_ultimaLinha = texto;
    std::fputs(QStringLiteral("bipvox-enviar: %1\n").arg(Escapado(texto)).toUtf8().constData(), m_saida);
    std::fflush(m_saida);
}
