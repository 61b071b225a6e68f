#include "store/Transacao.h"

#include "store/BancoDeDados.h"

#include <QSqlDatabase>
#include <QSqlError>

Transacao::Transacao() {
    if (!BancoDeDadosAberto()) {
        m_erro = QStringLiteral("O banco de dados não está aberto.");
        return;
    }
    QSqlDatabase banco = BancoDeDados();
    m_iniciada = banco.transaction();
    if (!m_iniciada)
        m_erro = banco.lastError().text();
}

Transacao::~Transacao() {
    if (m_iniciada && !m_confirmada)
        BancoDeDados().rollback();
}

bool Transacao::Confirma() {
    if (!m_iniciada)
        return false;
    QSqlDatabase banco = BancoDeDados();
    m_confirmada = banco.commit();
    if (!m_confirmada) {
        m_erro = banco.lastError().text();
        banco.rollback();
        m_iniciada = false;
    }
    return m_confirmada;
}
