// Windows-1252: every byte survives decoding and encoding again; text encodes to one byte per
// character (a pair of surrogates is one character), and what comes back is the text itself
// except where a character has no byte.
#include "common/Win1252.h"
#include "Propriedade.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    const QByteArray bytes(reinterpret_cast<const char*>(dados), static_cast<qsizetype>(tamanho));
    PROPRIEDADE(ParaWin1252(DeWin1252(bytes)) == bytes);

    const QString texto =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(dados), static_cast<qsizetype>(tamanho / 2));
    const QByteArray codificado = ParaWin1252(texto);
    const QString devolvido = DeWin1252(codificado);
    qsizetype k = 0;
    for (qsizetype i = 0; i < codificado.size(); ++i, ++k) {
        PROPRIEDADE(k < texto.size());
        const bool par = texto[k].isHighSurrogate() && k + 1 < texto.size() && texto[k + 1].isLowSurrogate();
        if (par) {
            PROPRIEDADE(codificado[i] == '?');
            ++k;
        } else {
            PROPRIEDADE(devolvido[i] == texto[k] ||
                        (codificado[i] == '?' && devolvido[i] == QLatin1Char('?')));
        }
    }
    PROPRIEDADE(k == texto.size());
    return 0;
}
