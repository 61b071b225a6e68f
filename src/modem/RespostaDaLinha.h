#pragma once
// The text received while a routine waits for an answer, and which of the awaited texts it
// holds. Each arrival is decoded once and searched only where a match could still start, so an
// answer trickling in a byte at a time costs no more than reading it.
#include "common/Contexto.h"

#include <QString>
#include <QStringList>
#include <QVector>

// No wait of the program hears more than this from the line: at 9600 baud it is some 17 s of
// unbroken text, longer than any wait lasts, while a flooding terminal reaches it at once.
constexpr qsizetype MaximoDaResposta = 16 * 1024;

// Told when the line sent more than MaximoDaResposta without the answer awaited.
inline const QString MensagemDadosDemais =
    QStringLiteral("a central enviou dados demais (mais de 16 KB sem a resposta esperada) e a ligação foi "
                   "encerrada. Confira se o número ou o endereço é mesmo o da central de mensagens.");

class RespostaDaLinha {
public:
    explicit RespostaDaLinha(QStringList esperados);

    // Adds text just received; true when an awaited text is now in the answer, or when the
    // answer has grown past MaximoDaResposta (then nothing more is kept).
    bool Acrescenta(const QString& novo);
    bool Excedeu() const { return m_excedeu; }
    // Whether esperados[indice] has arrived (case-sensitive).
    bool Chegou(int indice) const { return m_chegou.at(indice); }
    bool AlgumChegou() const { return m_algum; }
    const QString& Texto() const { return m_texto; }

private:
    QStringList m_esperados;
    QVector<bool> m_chegou;
    bool m_algum = false;
    bool m_excedeu = false;
    QString m_texto;
};

// Reads into resposta, blocking on the port between arrivals and letting no window events run,
// until an awaited text has come, the line sent too much, the port closed with nothing left to
// read, or the clock is past prazo. False when the line sent too much or the port closed;
// otherwise the clock alone decides: true when it is not past prazo, even
// if the awaited text came late.
bool AguardaNaLinha(Contexto& ctx, RespostaDaLinha& resposta, double prazo);
