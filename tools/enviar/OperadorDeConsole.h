#pragma once
// The operator and the progress window of a send without windows: every status text and
// progress-window title becomes a line on standard error, a message box one line, and a
// Yes/No question is answered "Não".
#include "common/Escapado.h"
#include "common/Operador.h"
#include "tap/Envio.h"

#include <cstdio>

class OperadorDeConsole : public Operador, public PainelDeEnvio {
public:
    explicit OperadorDeConsole(bool silencioso, std::FILE* saida = stderr)
        : m_silencioso(silencioso), m_saida(saida) {}

    void Status(const QString& texto) override;
    QString StatusAtual() const override { return m_status; }
    Resposta Mensagem(const QString& texto, const QString& titulo, Icone icone, Botoes botoes) override;
    void Ampulheta(bool) override {}

    void Titulo(const QString& texto) override { Andamento(texto); }
    void MedidorMaximo(int maximo) override { m_maximo = maximo; }
    void MedidorValor(int valor) override;
    void MedidorVisivel(bool) override {}

    // A progress line (dropped when silent; the same text twice in a row is written once).
    void Andamento(const QString& texto);
    // A line that is always written: errors, warnings, outcomes.
    void Aviso(const QString& texto);

private:
    void Escreve(const QString& texto);

    bool m_silencioso;
    std::FILE* m_saida;
    QString m_status;
    QString m_ultimaLinha;
    int m_maximo = 0;
};
