#include "Legivel.h"

#include "common/Win1252.h"

namespace {
const char* const kNomes[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
                                "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                                "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
}

QString Legivel(const QByteArray& bytes) {
    QString texto;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32)
            texto += QLatin1Char('<') + QLatin1String(kNomes[b]) + QLatin1Char('>');
        else if (b == 127)
            texto += QStringLiteral("<DEL>");
        else
            texto += DeWin1252(QByteArray(1, c));
    }
    return texto;
}
