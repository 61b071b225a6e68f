#pragma once
// What the logic tells the person: the status line, message boxes and the busy pointer.
#include <QString>

enum class Icone { Nenhum, Critico, Informacao, Pergunta };
enum class Botoes { OK, SimNao };
enum class Resposta { OK, Sim, Nao };

class Operador {
public:
    virtual ~Operador() = default;
    // Caption of the main window's status panel; shown at once, even while no events run.
    virtual void Status(const QString& texto) = 0;
    virtual QString StatusAtual() const = 0;
    // A modal message box; returns the button pressed.
    virtual Resposta Mensagem(const QString& texto, const QString& titulo, Icone icone,
                              Botoes botoes = Botoes::OK) = 0;
    // The hourglass pointer on (true) or back to the default (false).
    virtual void Ampulheta(bool ligada) = 0;
};

// Hourglass for the lifetime of the object.
class AmpulhetaLigada {
public:
    explicit AmpulhetaLigada(Operador& operador) : m_operador(operador) { m_operador.Ampulheta(true); }
    ~AmpulhetaLigada() { m_operador.Ampulheta(false); }
    AmpulhetaLigada(const AmpulhetaLigada&) = delete;
    AmpulhetaLigada& operator=(const AmpulhetaLigada&) = delete;

private:
    Operador& m_operador;
};
