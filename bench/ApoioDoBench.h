#pragma once
// Pieces every benchmark program uses: an operator that answers OK and prints what it was told,
// and the process's resident memory.
#include "common/Operador.h"

#include <QFile>

#include <cstdio>

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
