#pragma once
// Every wait in the program asks a Relogio: the real one in the program, a virtual one in tests.
#include <QDateTime>

class Relogio {
public:
    virtual ~Relogio() = default;
    // Monotonic elapsed time in seconds.
    virtual double Agora() const = 0;
    // Waits the given seconds while letting pending window events run, at least once.
    virtual void Pausa(double segundos) = 0;
    // The local date and time, for the moment a page is recorded.
    virtual QDateTime DataHoraLocal() const { return QDateTime::currentDateTime(); }
};
