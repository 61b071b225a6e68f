#include "tap/RespostasNumeradas.h"

#include <QRegularExpression>

namespace {
struct Codigo {
    int codigo;
    const char* motivo;
};
// TAP 1.8's numbered answers; the terminal's own words go beside them.
constexpr Codigo Codigos[] = {
    {112, "a central não aceita mais páginas nesta ligação"},
    {113, "acabou o tempo desta ligação na central"},
    {212, "a mensagem longa foi cortada e enviada"},
    {213, "a mensagem foi aceita e guardada para entrega mais tarde"},
    {214, "a mensagem passou do tamanho máximo e foi cortada"},
    {501, "a central esperou demais pelos dados"},
    {502, "a central recebeu caracteres inesperados antes do bloco"},
    {503, "tentativas demais com erro na soma de verificação"},
    {504, "a mensagem tem caracteres que a central não aceita"},
    {505, "a central não aceitou a transação"},
    {506, "páginas inválidas demais nesta ligação"},
    {507, "a central recusou a entrada (senha ou identificação)"},
    {508, "transação não permitida pela central"},
    {509, "erro grave na central"},
    {510, "caracteres inválidos no código do pager"},
    {511, "código do pager não cadastrado na central"},
    {512, "a central não pode entregar agora (fila cheia); tente mais tarde"},
    {513, "mensagem longa demais, recusada"},
    {514, "erro na soma de verificação"},
    {515, "formato da mensagem inválido"},
    {516, "cota de mensagens excedida por enquanto"},
    {517, "a mensagem passou do tamanho máximo da central e foi recusada"},
};
} // namespace

QVector<LinhaNumerada> LinhasNumeradas(const QString& resposta) {
    static const QRegularExpression numerada(QStringLiteral("^([0-9]{3})(?:[ \\t][^\\r\\n]*)?$"));
    QVector<LinhaNumerada> linhas;
    for (QString linha : resposta.split(QRegularExpression(QStringLiteral("[\\r\\n]")), Qt::SkipEmptyParts)) {
        linha.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")));
        const QRegularExpressionMatch m = numerada.match(linha.trimmed());
        if (m.hasMatch())
            linhas.append({m.captured(1).toInt(), linha.trimmed().left(80)});
    }
    return linhas;
}

QString MotivoDaCentral(const QString& resposta) {
    QStringList motivos;
    for (const LinhaNumerada& l : LinhasNumeradas(resposta)) {
        const bool conhecido = std::any_of(std::begin(Codigos), std::end(Codigos),
                                           [&l](const Codigo& c) { return c.codigo == l.codigo; });
        if (l.codigo >= 500 && l.codigo <= 599 && !conhecido)
            motivos << QStringLiteral("a central deu um motivo que o programa não conhece (%1)").arg(l.texto);
        for (const Codigo& c : Codigos)
            if (c.codigo == l.codigo)
                motivos << QStringLiteral("%1 (%2)").arg(QString::fromUtf8(c.motivo), l.texto);
    }
    return motivos.join(QStringLiteral("; "));
}

bool SessaoEsgotada(const QString& resposta) {
    // ESC EOT CR behind the answer: the terminal hung up right after judging the page.
    if (resposta.contains(QStringLiteral("\x1b\x04\r")))
        return true;
    const QVector<LinhaNumerada> linhas = LinhasNumeradas(resposta);
    return std::any_of(linhas.begin(), linhas.end(),
                       [](const LinhaNumerada& l) { return l.codigo == 112 || l.codigo == 113; });
}
