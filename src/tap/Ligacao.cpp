#include "tap/Ligacao.h"

#include "tap/RespostasNumeradas.h"

void Ligacao::Respondida(const QString& resposta) {
    ++m_naLigacao;
    m_esgotada = SessaoEsgotada(resposta);
}

bool Ligacao::NovaChamada() {
    m_naLigacao = 0;
    m_esgotada = false;
    ++m_rediscagens;
    return m_novaChamada();
}
