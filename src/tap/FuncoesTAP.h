#pragma once
// TAP transaction blocks: framing and the three-character checksum. Pure functions over the
// text as Windows-1252 bytes (a character's code is its byte; one Windows-1252 cannot hold
// is sent, and counted, as '?').
#include <QString>

constexpr int TamanhoMaximoMensagemTAP = 240;

// STX identificador CR mensagem CR ETX. False (bloco untouched) for a message over 240 characters.
bool MontaBlocoTAP(const QString& identificador, const QString& mensagem, QString& bloco);
// Sum of the block's codes; its low 12 bits, most significant group first. Always true.
bool CalculaChecksumTAP(const QString& bloco, QString& checksum);
// '0' + bits 0-3 (posicao 1), 4-7 (2) or 8-11 (3) of soma; any other position gives "0".
QString DigitoChecksumTAP(int soma, qint16 posicao);
