#pragma once
// What this machine costs before the program does anything: a bare reader (poll, then read)
// on a pseudo-terminal fed one byte per byte time at 9600 baud, as the simulator feeds the
// program. How late it wakes after a byte is written bounds every reaction measured on the line
// (the program wakes on the terminal's CR, the simulator on the program's STX); its CPU per
// byte bounds the CPU of any wait that must see each byte as it comes.
#include "ApoioDoBench.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

struct PisoDaMaquina {
    bool medido = false;
    double atrasoMediano = 0, atrasoP99 = 0; // byte written -> reader awake, seconds
    double cpu = 0;                          // the reader's CPU as a share of one core
    double cpuPorDespertar = 0;              // seconds
};

inline PisoDaMaquina MedePisoDaMaquina(int bytes = 2000) {
    PisoDaMaquina piso;
    const int mestre = posix_openpt(O_RDWR | O_NOCTTY);
    if (mestre < 0 || grantpt(mestre) != 0 || unlockpt(mestre) != 0)
        return piso;
    const int escravo = open(ptsname(mestre), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios modo{};
    if (escravo < 0 || tcgetattr(escravo, &modo) != 0) {
        close(mestre);
        return piso;
    }
    cfmakeraw(&modo);
    tcsetattr(escravo, TCSANOW, &modo);

    std::vector<double> escrito(std::size_t(bytes), 0.0), acordado(std::size_t(bytes), 0.0);
    std::thread escritor([&] {
        const double inicio = RelogioDe(CLOCK_MONOTONIC) + 0.05;
        for (int i = 0; i < bytes; ++i) {
            const double devido = inicio + double(i) * 10.0 / 9600.0;
            timespec quando{time_t(devido), long((devido - double(time_t(devido))) * 1e9)};
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &quando, nullptr) == EINTR) {
            }
            escrito[std::size_t(i)] = RelogioDe(CLOCK_MONOTONIC);
            const char c = 'x';
            if (write(mestre, &c, 1) != 1)
                break;
        }
    });
    const double cpu0 = RelogioDe(CLOCK_THREAD_CPUTIME_ID), parede0 = RelogioDe(CLOCK_MONOTONIC);
    int lidos = 0, despertares = 0;
    char area[256];
    while (lidos < bytes) {
        pollfd p{escravo, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0)
            break;
        const double agora = RelogioDe(CLOCK_MONOTONIC);
        ++despertares;
        const ssize_t n = read(escravo, area, sizeof area);
        for (ssize_t k = 0; k < n && lidos < bytes; ++k)
            acordado[std::size_t(lidos++)] = agora;
    }
    const double cpu = RelogioDe(CLOCK_THREAD_CPUTIME_ID) - cpu0,
                 parede = RelogioDe(CLOCK_MONOTONIC) - parede0;
    escritor.join();
    close(escravo);
    close(mestre);
    if (lidos < bytes || despertares == 0)
        return piso;

    std::vector<double> atrasos;
    for (int i = 0; i < bytes; ++i)
        atrasos.push_back(acordado[std::size_t(i)] - escrito[std::size_t(i)]);
    std::sort(atrasos.begin(), atrasos.end());
    piso.medido = true;
    piso.atrasoMediano = atrasos[atrasos.size() / 2];
    piso.atrasoP99 = atrasos[std::min(atrasos.size() - 1, std::size_t(0.99 * double(atrasos.size())))];
    piso.cpu = cpu / parede;
    piso.cpuPorDespertar = cpu / despertares;
    return piso;
}
