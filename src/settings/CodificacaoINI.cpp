#include "settings/CodificacaoINI.h"

#include "common/Win1252.h"

#include <QStringDecoder>
#include <algorithm>

namespace {
bool ComecaComBOM(const QByteArray& bytes) {
    return bytes.startsWith("\xEF\xBB\xBF");
}

bool TemByteAlto(const QByteArray& bytes) {
    return std::any_of(bytes.cbegin(), bytes.cend(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}
} // namespace

QString DecodificaINI(const QByteArray& bytes) {
    if (!ComecaComBOM(bytes) && !TemByteAlto(bytes))
        return DeWin1252(bytes); // plain ASCII reads the same either way
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString texto = utf8.decode(bytes); // the default flags drop a leading mark
    if (ComecaComBOM(bytes) || !utf8.hasError())
        return texto;
    return DeWin1252(bytes);
}
