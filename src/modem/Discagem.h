#pragma once
// Dialling the paging operator and hanging up.
#include "common/Contexto.h"

#include <QString>

// Result codes of AnalisaRespostaDiscagem.
enum CodigoDiscagem : qint16 {
    DiscagemSemModem = -2, // only from DiscaOperadora: no "OK" before dialling
    DiscagemTempoEsgotado = -1,
    DiscagemNenhuma = 0,
    DiscagemOcupado = 1,
    DiscagemSemTom = 2,
    DiscagemSemPortadora = 3,
    DiscagemConectado = 4,
    DiscagemSemResposta = 5, // "NO ANSWER": rang, nobody picked up
    DiscagemDadosDemais = 6, // the modem sent more than any answer holds, and no verdict
};

// The built-in dial-in number used when "DISCAGEM"/"Telefone" is missing.
inline const QString TelefonePadrao = QStringLiteral("3311-2400");

// The dial line from the settings as they are now, CR included.
QString MontaLinhaDeDiscagem();
// Verdict on everything the modem said; later tests in the list overwrite earlier ones.
qint16 ClassificaRespostaDiscagem(const QString& recebido);

// Dials; True when the modem reports a connection. Every failure is reported to the user; the
// verdict also goes to codigo when given.
bool DiscaOperadora(Contexto& ctx, qint16* codigo = nullptr);
qint16 AnalisaRespostaDiscagem(Contexto& ctx);
// "+++", pause, "ATH0": back on hook. No answer is awaited.
void DesconectaModem(Contexto& ctx);
