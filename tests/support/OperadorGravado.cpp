#include "OperadorGravado.h"

void OperadorGravado::Status(const QString& texto) {
    m_status = texto;
    status.append(texto);
    eventos.append(QStringLiteral("status:") + texto);
}

Resposta OperadorGravado::Mensagem(const QString& texto, const QString& titulo, Icone icone, Botoes botoes) {
    Resposta resposta = Resposta::OK;
    if (botoes == Botoes::SimNao) {
        resposta = respostas.empty() ? Resposta::Nao : respostas.front();
        if (!respostas.empty())
            respostas.pop_front();
    }
    caixas.append({texto, titulo, icone, botoes, resposta});
    eventos.append(QStringLiteral("caixa:") + texto);
    return resposta;
}

void OperadorGravado::Ampulheta(bool ligada) {
    ampulheta.append(ligada ? QLatin1Char('+') : QLatin1Char('-'));
    ampulhetaNivel += ligada ? 1 : -1;
}

QStringList OperadorGravado::TextosDasCaixas() const {
    QStringList textos;
    for (const Caixa& c : caixas)
        textos.append(c.texto);
    return textos;
}
