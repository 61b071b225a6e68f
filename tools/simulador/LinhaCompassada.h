#pragma once
// One direction of the line: bytes put in leave no faster than the line rate allows, so a long
// answer takes as long as it would over a real 9600-baud connection. With no rate, bytes leave
// at once.
#include <QByteArray>
#include <limits>

class LinhaCompassada {
public:
    // segundosPorByte: 10 bits a character at 9600 baud is 1/960; 0 means no pacing.
    explicit LinhaCompassada(double segundosPorByte = 0.0) : m_intervalo(segundosPorByte) {}

    void Coloca(const QByteArray& bytes, double agora);
    // The bytes whose last bit has crossed the line by now.
    QByteArray Retira(double agora);
    // When the next byte will be through; infinity when nothing waits.
    double ProximaSaida() const;
    bool Vazia() const { return m_fila.isEmpty(); }

    static constexpr double kSegundosPorByte9600 = 10.0 / 9600.0;

private:
    double m_intervalo;
    QByteArray m_fila;
    double m_fimDoPrimeiro = 0.0; // when the byte at the head of the queue is through
    double m_linhaLivreEm = 0.0;  // when the last byte handed out was through
};
