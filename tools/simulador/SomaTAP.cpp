#include "SomaTAP.h"

QByteArray SomaTAP(const QByteArray& bloco) {
    unsigned soma = 0;
    for (const char c : bloco)
        soma += static_cast<unsigned char>(c);
    QByteArray texto(3, '0');
    texto[0] = char('0' + ((soma >> 8) & 0xF));
    texto[1] = char('0' + ((soma >> 4) & 0xF));
    texto[2] = char('0' + (soma & 0xF));
    return texto;
}
