#include "common/Numero.h"

#include <cmath>

double ValorNumerico(const QString& texto) {
    int i = 0;
    const int n = texto.size();
    while (i < n && (texto[i] == QLatin1Char(' ') || texto[i] == QLatin1Char('\t')))
        ++i;
    QString numero;
    if (i < n && (texto[i] == QLatin1Char('-') || texto[i] == QLatin1Char('+')))
        numero.append(texto[i++]);
    bool ponto = false;
    bool digito = false;
    for (; i < n; ++i) {
        const QChar c = texto[i];
        if (c.isDigit() && c.unicode() < 128) {
            numero.append(c);
            digito = true;
        } else if (c == QLatin1Char('.') && !ponto) {
            numero.append(c);
            ponto = true;
        } else {
            break;
        }
    }
    if (!digito)
        return 0.0;
    return numero.toDouble();
}

qint16 ValorInteiro16(const QString& texto) {
    const double arredondado = std::nearbyint(ValorNumerico(texto)); // default mode: halves to even
    if (arredondado < -32768.0 || arredondado > 32767.0)
        return 0;
    return static_cast<qint16>(arredondado);
}
