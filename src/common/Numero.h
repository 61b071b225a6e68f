#pragma once
#include <QString>

// The leading number of a text, as the settings are read: blanks skipped, optional sign,
// digits with an optional decimal point; no number gives 0.
double ValorNumerico(const QString& texto);

// ValorNumerico rounded to the nearest integer (halves to the even one) as a 16-bit
// value; a value outside the 16-bit range gives 0, which no port accepts.
qint16 ValorInteiro16(const QString& texto);
