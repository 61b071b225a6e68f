#pragma once
// One transaction on the shared database for the lifetime of the object: what is not
// confirmed is rolled back, so a change made of several statements happens whole or not at all.
#include <QString>

class Transacao {
public:
    Transacao();
    ~Transacao();
    Transacao(const Transacao&) = delete;
    Transacao& operator=(const Transacao&) = delete;

    // False (with the reason in Erro()) when the transaction could not begin.
    bool Iniciada() const { return m_iniciada; }
    // Commits; false, with the reason in Erro(), when the store refused (then it rolls back).
    bool Confirma();
    QString Erro() const { return m_erro; }

private:
    bool m_iniciada = false;
    bool m_confirmada = false;
    QString m_erro;
};
