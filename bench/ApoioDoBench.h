#pragma once
// Pieces every benchmark program uses: an operator that answers OK and prints what it was told,
// the process's resident memory, and a clock read in seconds.
#include "common/Operador.h"

#include <QFile>

#include <cstdio>
#include <ctime>

class OperadorCalado : public Operador {
public:
    void Status(const QString& texto) override { m_status = texto; }
    QString StatusAtual() const override { return m_status; }
    Resposta Mensagem(const QString& texto, const QString&, Icone, Botoes) override {
        std::fprintf(stderr, "mensagem: %s\n", qPrintable(texto));
        return Resposta::OK;
    }
    void Ampulheta(bool) override {}

private:
    QString m_status;
};

// Resident memory of this process in KiB (Linux; -1 when unknown).
inline long MemoriaResidente() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linha : status.readAll().split('\n'))
        if (linha.startsWith("VmRSS:"))
            return linha.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// A clock (CLOCK_MONOTONIC, CLOCK_THREAD_CPUTIME_ID, ...) in seconds.
inline double RelogioDe(clockid_t relogio) {
    timespec t{};
    clock_gettime(relogio, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
