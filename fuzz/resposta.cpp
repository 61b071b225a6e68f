// The answer search of the dialling, log-on and send waits: an awaited text is reported exactly
// when it is somewhere in what arrived, however the arrivals were cut.
#include "Propriedade.h"
#include "modem/RespostaDaLinha.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    FuzzedDataProvider entrada(dados, tamanho);
    QStringList esperados;
    const int quantos = entrada.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < quantos; ++i)
        esperados << QString::fromLatin1(entrada.ConsumeRandomLengthString(6));
    RespostaDaLinha resposta(esperados);
    QString tudo;
    while (entrada.remaining_bytes() > 0) {
        const QString pedaco = QString::fromLatin1(entrada.ConsumeRandomLengthString(32));
        tudo += pedaco;
        const bool algum = resposta.Acrescenta(pedaco);
        bool esperado = false;
        for (int i = 0; i < quantos; ++i) {
            PROPRIEDADE(resposta.Chegou(i) == tudo.contains(esperados[i]));
            esperado = esperado || resposta.Chegou(i);
        }
        PROPRIEDADE(algum == esperado);
        PROPRIEDADE(resposta.AlgumChegou() == esperado);
    }
    return 0;
}
