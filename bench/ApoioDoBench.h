#pragma once
// Pieces every benchmark program uses: an operator that answers OK and prints what it was told,
// a process's resident memory, percentiles, --nome=N options, a clock read in seconds and names
// for a large directory.
#include "common/Operador.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>

#include <cstdio>
#include <ctime>
#include <vector>

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

// Resident memory of a process in KiB (Linux; -1 when unknown): "self" or a process id.
inline long MemoriaDe(const QString& processo) {
    QFile status(QStringLiteral("/proc/%1/status").arg(processo));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linha : status.readAll().split('\n'))
        if (linha.startsWith("VmRSS:"))
            return linha.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}
inline long MemoriaResidente() {
    return MemoriaDe(QStringLiteral("self"));
}

// The value at fraction p (0.5: the median) of the sorted values; 0 for none.
inline double Percentil(std::vector<double> valores, double p) {
    if (valores.empty())
        return 0;
    std::sort(valores.begin(), valores.end());
    return valores[std::min(valores.size() - 1, std::size_t(p * double(valores.size())))];
}

// A numeric option written --nome=N, or its default.
inline int Opcao(const QStringList& args, const QString& nome, int padrao) {
    for (const QString& a : args)
        if (a.startsWith(nome + QLatin1Char('=')))
            return a.mid(nome.size() + 1).toInt();
    return padrao;
}

// A clock (CLOCK_MONOTONIC, CLOCK_THREAD_CPUTIME_ID, ...) in seconds.
inline double RelogioDe(clockid_t relogio) {
    timespec t{};
    clock_gettime(relogio, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A person's name with accents, apostrophes and a number, as a large directory holds.
inline QString NomeAleatorio(QRandomGenerator& gerador) {
    static const char* const nomes[] = {
        "Álvaro", "Alberto", "ana",   "Beatriz", "bruno", "Cecília", "César",  "Élcio", "Eduardo", "Íris",
        "João",   "José",    "Óscar", "Úrsula",  "Zé",    "Zeca",    "Márcia", "Pedro", "Raquel",  "Sérgio"};
    static const char* const sobrenomes[] = {"D'Ávila", "da Conceição", "Brandão", "Façanha", "Nogueira",
                                             "Antunes", "Magalhães",    "Simões",  "Araújo",  "Peçanha"};
    return QString::fromUtf8(nomes[gerador.bounded(int(std::size(nomes)))]) + QLatin1Char(' ') +
           QString::fromUtf8(sobrenomes[gerador.bounded(int(std::size(sobrenomes)))]) + QLatin1Char(' ') +
           QString::number(gerador.bounded(100000));
}
