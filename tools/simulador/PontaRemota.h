#pragma once
// What sits at the simulator's end of the line: a modem with the terminal behind it, or the
// terminal alone. Fed bytes and the time; what it says is collected for the line.
#include <QByteArray>

class PontaRemota {
public:
    virtual ~PontaRemota() = default;
    virtual void Recebe(const QByteArray& bytes, double agora) = 0;
    // Runs whatever is due by now.
    virtual void Avanca(double agora) = 0;
    // When Avanca next has something to do; infinity when nothing is pending.
    virtual double ProximoEvento() const = 0;
    virtual QByteArray TomaSaida() = 0;
};
