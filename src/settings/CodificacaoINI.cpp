#include "settings/CodificacaoINI.h"

#include "common/Win1252.h"

#include <QStringDecoder>
#include <algorithm>

namespace {
const QByteArray kBOM("\xEF\xBB\xBF");

bool TemByteAlto(const QByteArray& bytes) {
    return std::any_of(bytes.cbegin(), bytes.cend(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool Utf8Valido(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString texto = utf8.decode(bytes);
    return !utf8.hasError();
}
} // namespace

CodificacaoINI DetectaCodificacaoINI(const QByteArray& bytes) {
    if (bytes.startsWith(kBOM))
        return CodificacaoINI::Utf8ComBOM;
    // Plain ASCII reads the same either way.
    return TemByteAlto(bytes) && Utf8Valido(bytes) ? CodificacaoINI::Utf8 : CodificacaoINI::Win1252;
}

QString DecodificaINI(const QByteArray& bytes) {
    if (DetectaCodificacaoINI(bytes) == CodificacaoINI::Win1252)
        return DeWin1252(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return utf8.decode(bytes); // the default flags drop a leading mark
}

QByteArray CodificaINI(const QString& texto, CodificacaoINI codificacao) {
    switch (codificacao) {
    case CodificacaoINI::Utf8ComBOM:
        return kBOM + texto.toUtf8();
    case CodificacaoINI::Utf8:
        return texto.toUtf8();
    case CodificacaoINI::Win1252:
        break;
    }
    const QByteArray bytes = ParaWin1252(texto);
    if (DetectaCodificacaoINI(bytes) == CodificacaoINI::Win1252)
        return bytes;
    // "ç" followed by "ã" is no UTF-8 sequence, so this comment keeps the file Windows-1252.
    const bool crlf = texto.contains(QLatin1String("\r\n")) || !texto.contains(QLatin1Char('\n'));
    return ParaWin1252(QStringLiteral("; Codificação: Windows-1252") +
                       (crlf ? QStringLiteral("\r\n") : QStringLiteral("\n"))) +
           bytes;
}
