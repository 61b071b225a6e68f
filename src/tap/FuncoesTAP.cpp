#include "tap/FuncoesTAP.h"

#include "common/Modulo.h"
#include "common/Win1252.h"

bool MontaBlocoTAP(const QString& identificador, const QString& mensagem, QString& bloco) {
    // One byte per character; an escaped control character (SUB and one more) counts as one.
    if (mensagem.size() - mensagem.count(QChar(26)) > TamanhoMaximoMensagemTAP)
        return false;
    bloco = Modulo::STX + identificador + Modulo::CR + mensagem + Modulo::CR + Modulo::ETX;
    return true;
}

bool CalculaChecksumTAP(const QString& bloco, QString& checksum) {
    // Counted over the bytes that actually go out; unsigned so that a huge block wraps harmlessly.
    unsigned int soma = 0;
    for (const char byte : ParaWin1252(bloco))
        soma += static_cast<unsigned char>(byte);
    const int baixos = static_cast<int>(soma & 0xFFFu);
    checksum = DigitoChecksumTAP(baixos, 3) + DigitoChecksumTAP(baixos, 2) + DigitoChecksumTAP(baixos, 1);
    return true;
}

QString DigitoChecksumTAP(int soma, qint16 posicao) {
    int valor = 0;
    if (posicao >= 1 && posicao <= 3)
        valor = static_cast<int>((static_cast<unsigned int>(soma) >> (4 * (posicao - 1))) & 0xFu);
    return QString(QChar(48 + valor));
}
