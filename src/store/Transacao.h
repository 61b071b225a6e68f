#pragma once
// One transaction on the shared database for the lifetime of the object: what is not
// confirmed is rolled back, so a change made of several statements happens whole or not at all.
// It takes the write lock before its first statement (SQLite: BEGIN IMMEDIATE), so what a change
// checks first (a name in use, the row as the desk read it) cannot be changed by another desk
// before the change is written; a desk writing now is waited for up to the store's time-out.
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

    // Erro() when another connection kept the file locked past the time-out: what the operator
    // reads after "Não foi possível <ação> agora: ".
    static const QString Ocupado;

private:
    void Falhou(const class QSqlError& erro);

    bool m_iniciada = false;
    bool m_confirmada = false;
    QString m_erro;
};
