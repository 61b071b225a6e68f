#pragma once
// Records everything the logic tells the person and answers questions from a script.
#include "common/Operador.h"

#include <QStringList>
#include <QVector>
#include <deque>

class OperadorGravado : public Operador {
public:
    struct Caixa {
        QString texto;
        QString titulo;
    };

    void Status(const QString& texto) override;
    QString StatusAtual() const override { return status.isEmpty() ? QString() : status.last(); }
    Resposta Mensagem(const QString& texto, const QString& titulo, Icone icone, Botoes botoes) override;
    void Ampulheta(bool ligada) override { ampulhetaNivel += ligada ? 1 : -1; }

    // Answers for Sim/Não questions, in order; a question with none left is answered Não.
    std::deque<Resposta> respostas;

    QStringList status;
    QVector<Caixa> caixas;
    // How deep the hourglass is now: 0 once every "on" was matched by an "off".
    int ampulhetaNivel = 0;
    // Events in the order they happened: "status: ...", "caixa: ...", to check ordering.
    QStringList eventos;

    QStringList TextosDasCaixas() const;
};
