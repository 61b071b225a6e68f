#include "common/Interrupcao.h"

#include <QMetaObject>
#include <QPointer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_pedidos = 0;
int g_tubo[2] = {-1, -1};
QPointer<QObject> g_contexto;
std::function<void()> g_aoPedir;

void AoSinal(int) {
    const int erro = errno; // the interrupted code may be about to read it
    g_pedidos = g_pedidos + 1;
    if (g_tubo[1] >= 0) {
        const char um = 1;
        [[maybe_unused]] const ssize_t escrito = ::write(g_tubo[1], &um, 1);
    }
    errno = erro;
}

void CriaTubo() {
    if (g_tubo[0] < 0 && ::pipe2(g_tubo, O_NONBLOCK | O_CLOEXEC) != 0)
        g_tubo[0] = g_tubo[1] = -1;
}

} // namespace

namespace Interrupcao {

void Instala() {
    CriaTubo();
    struct sigaction acao = {};
    acao.sa_handler = AoSinal;
    sigemptyset(&acao.sa_mask);
    acao.sa_flags = SA_RESTART;
    for (int sinal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sinal, &acao, nullptr);
}

int Pedidos() {
    return g_pedidos;
}

int Aviso() {
    CriaTubo();
    return g_tubo[0];
}

void Drena() {
    char lixo[64];
    bool algum = false;
    while (g_tubo[0] >= 0 && ::read(g_tubo[0], lixo, sizeof lixo) > 0)
        algum = true;
    if (algum && g_contexto && g_aoPedir)
        QMetaObject::invokeMethod(g_contexto, g_aoPedir, Qt::QueuedConnection);
}

void AoPedir(QObject* ctx, std::function<void()> fn) {
    g_contexto = ctx;
    g_aoPedir = std::move(fn);
}

void Pede() {
    CriaTubo();
    AoSinal(SIGTERM);
}

void Esquece() {
    Drena();
    g_pedidos = 0;
}

} // namespace Interrupcao
