#include "OperadorGravado.h"

void OperadorGravado::Status(const QString& texto) {
    status.append(texto);
    eventos.append(QStringLiteral("status:") + texto);
}

Resposta OperadorGravado::Mensagem(const QString& texto, const QString& titulo, Icone, Botoes botoes) {
    Resposta resposta = Resposta::OK;
    if (botoes == Botoes::SimNao) {
        resposta = respostas.empty() ? Resposta::Nao : respostas.front();
        if (!respostas.empty())
            respostas.pop_front();
    }
    caixas.append({texto, titulo});
    eventos.append(QStringLiteral("caixa:") + texto);
    return resposta;
}

QStringList OperadorGravado::TextosDasCaixas() const {
    QStringList textos;
    for (const Caixa& c : caixas)
        textos.append(c.texto);
    return textos;
}
