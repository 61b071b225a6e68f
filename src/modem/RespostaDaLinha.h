#pragma once
// The text received while a routine waits for an answer, and which of the awaited texts it
// holds. Each arrival is decoded once and searched only where a match could still start, so an
// answer trickling in a byte at a time costs no more than reading it.
#include "common/Contexto.h"

#include <QString>
#include <QStringList>
#include <QVector>

class RespostaDaLinha {
public:
    explicit RespostaDaLinha(QStringList esperados);

    // Adds text just received; true when an awaited text is now in the answer.
    bool Acrescenta(const QString& novo);
    // Whether esperados[indice] has arrived (case-sensitive).
    bool Chegou(int indice) const { return m_chegou.at(indice); }
    bool AlgumChegou() const { return m_algum; }
    const QString& Texto() const { return m_texto; }

private:
    QStringList m_esperados;
    QVector<bool> m_chegou;
    bool m_algum = false;
    QString m_texto;
};

// Reads into resposta, blocking on the port between arrivals and letting no window events run,
// until an awaited text has come or the clock is past prazo. The clock alone decides the result:
// true when it is not past prazo, even if the awaited text came late.
bool AguardaNaLinha(Contexto& ctx, RespostaDaLinha& resposta, double prazo);
