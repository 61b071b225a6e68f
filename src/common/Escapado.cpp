#include "common/Escapado.h"

QString Escapado(const QString& texto) {
    QString linha;
    linha.reserve(texto.size());
    for (const QChar c : texto) {
        const auto categoria = c.category();
        const bool controle = categoria == QChar::Other_Control || categoria == QChar::Other_Format ||
                              categoria == QChar::Separator_Line || categoria == QChar::Separator_Paragraph;
        if (!controle)
            linha += c;
        else
            linha += (c.unicode() < 0x100 ? QStringLiteral("\\x") : QStringLiteral("\\u")) +
                     QString::number(c.unicode(), 16)
                         .rightJustified(c.unicode() < 0x100 ? 2 : 4, QLatin1Char('0'))
                         .toUpper();
    }
    return linha;
}
