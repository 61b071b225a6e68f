#include "common/Win1252.h"

namespace {
// 0x80..0x9F; 0 marks the five unassigned codes, which map to the C1 control of the same value.
constexpr char16_t kFaixa80[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

bool CabeEmWin1252(char32_t codigo) {
    if (codigo < 0x80 || (codigo >= 0xA0 && codigo <= 0xFF))
        return true;
    for (int i = 0; i < 32; ++i)
        if (codigo == (kFaixa80[i] ? kFaixa80[i] : char16_t(0x80 + i)))
            return true;
    return false;
}

QByteArray ParaWin1252(const QString& texto) {
    QByteArray saida;
    saida.reserve(texto.size());
    for (qsizetype k = 0; k < texto.size(); ++k) {
        const char16_t u = texto[k].unicode();
        // A character outside the 16-bit range is one '?', not one per half of its pair.
        if (QChar::isHighSurrogate(u) && k + 1 < texto.size() && texto[k + 1].isLowSurrogate()) {
            saida.append('?');
            ++k;
            continue;
        }
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            saida.append(static_cast<char>(u));
            continue;
        }
        char byte = '?';
        for (int i = 0; i < 32; ++i) {
            const char16_t alvo = kFaixa80[i] ? kFaixa80[i] : static_cast<char16_t>(0x80 + i);
            if (alvo == u) {
                byte = static_cast<char>(0x80 + i);
                break;
            }
        }
        saida.append(byte);
    }
    return saida;
}

QString DeWin1252(const QByteArray& bytes) {
    QString saida;
    saida.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0 && kFaixa80[b - 0x80])
            saida.append(QChar(kFaixa80[b - 0x80]));
        else
            saida.append(QChar(b));
    }
    return saida;
}
