#include "Simulador.h"

#include "Legivel.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
// Output nobody reads (the program has the port closed) is kept up to this much, then dropped,
// as it would be on a real line.
constexpr qsizetype kMaxPendente = 64 * 1024;

class Descritor {
public:
    explicit Descritor(int fd) : m_fd(fd) {}
    ~Descritor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descritor(const Descritor&) = delete;
    Descritor& operator=(const Descritor&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

void Imprime(FILE* destino, const QString& texto) {
    std::fputs(texto.toLocal8Bit().constData(), destino);
    std::fputc('\n', destino);
    std::fflush(destino);
}
} // namespace

Simulador::Simulador(const Opcoes& opcoes)
    : m_opcoes(opcoes), m_modem(opcoes.cenario), m_avulso(opcoes.cenario, !PorTCP()),
      m_ponta(opcoes.linhaDireta || PorTCP() ? static_cast<PontaRemota&>(m_avulso)
                                             : static_cast<PontaRemota&>(m_modem)),
      m_entrada(opcoes.ritmo ? LinhaCompassada::kSegundosPorByte9600 : 0.0),
      m_saida(opcoes.ritmo ? LinhaCompassada::kSegundosPorByte9600 : 0.0) {
    m_modem.aoRegistrar = [this](const QString& texto) { Registra(texto); };
    m_modem.terminal().aoRegistrar = [this](const QString& texto) { Registra(texto); };
    m_modem.terminal().aoReceberPagina = [this](const PaginaRecebida& p) { RegistraPagina(p); };
    m_avulso.aoRegistrar = [this](const QString& texto) { Registra(texto); };
    m_avulso.terminal().aoRegistrar = [this](const QString& texto) { Registra(texto); };
    m_avulso.terminal().aoReceberPagina = [this](const PaginaRecebida& p) { RegistraPagina(p); };
}

bool Simulador::Prepara() {
    QString erro;
    if (PorTCP()) {
        if (!m_servidor.Abre(m_opcoes.portaTCP, &erro) || !m_transcricao.Abre(m_opcoes.transcricao, &erro)) {
            Imprime(stderr, QStringLiteral("bipvox-simulador: %1").arg(erro));
            return false;
        }
        Imprime(stdout, m_servidor.Endereco());
        Registra(QStringLiteral("central atendendo por TCP em %1").arg(m_servidor.Endereco()));
        return true;
    }
    if (!m_pty.Abre(&erro) || (!m_opcoes.link.isEmpty() && !m_pty.CriaLink(m_opcoes.link, &erro)) ||
        !m_transcricao.Abre(m_opcoes.transcricao, &erro)) {
        Imprime(stderr, QStringLiteral("bipvox-simulador: %1").arg(erro));
        return false;
    }
    Imprime(stdout, m_pty.Dispositivo());
    if (!m_pty.Link().isEmpty())
        Imprime(stdout, m_pty.Link());
    Registra(QStringLiteral("%1 pronto em %2%3")
                 .arg(m_opcoes.linhaDireta ? QStringLiteral("linha direta com a central")
                                           : QStringLiteral("modem"),
                      m_pty.Dispositivo(),
                      m_pty.Link().isEmpty() ? QString() : QStringLiteral(" (link %1)").arg(m_pty.Link())));
    // A cable is always connected: the terminal waits for the first session at once.
    if (m_opcoes.linhaDireta)
        m_avulso.Conecta(Agora());
    return true;
}

int Simulador::Executa() {
    m_relogio.start();

    sigset_t sinais;
    sigemptyset(&sinais);
    sigaddset(&sinais, SIGINT);
    sigaddset(&sinais, SIGTERM);
    sigaddset(&sinais, SIGHUP);
    if (sigprocmask(SIG_BLOCK, &sinais, nullptr) != 0) {
        Imprime(stderr, QStringLiteral("bipvox-simulador: não foi possível tratar os sinais"));
        return 1;
    }
    const Descritor sinal(signalfd(-1, &sinais, SFD_NONBLOCK | SFD_CLOEXEC));
    if (sinal.fd() < 0) {
        Imprime(stderr, QStringLiteral("bipvox-simulador: signalfd falhou"));
        return 1;
    }
    if (!Prepara())
        return 1;

    for (;;) {
        const double agora = Agora();
        if (m_opcoes.duracao > 0.0 && agora >= m_opcoes.duracao) {
            Registra(QStringLiteral("fim do tempo pedido (--duracao)"));
            break;
        }
        Gira(agora);

        pollfd fds[3] = {};
        fds[0].fd = sinal.fd();
        fds[0].events = POLLIN;
        // The line: the pseudo-terminal's master, or the TCP client (none: ignored by ppoll).
        fds[1].fd = PorTCP() ? m_servidor.Cliente() : m_pty.Mestre();
        fds[1].events =
            short((agora >= m_leituraSuspensaAte ? POLLIN : 0) | (m_pendente.isEmpty() ? 0 : POLLOUT));
        fds[2].fd = PorTCP() ? m_servidor.Escuta() : -1;
        fds[2].events = POLLIN;
        const double espera = std::clamp(ProximoInstante(agora) - agora, 0.0, 1.0);
        timespec prazo{};
        prazo.tv_sec = time_t(espera);
        prazo.tv_nsec = long((espera - double(prazo.tv_sec)) * 1e9);
        if (ppoll(fds, 3, &prazo, nullptr) < 0 && errno != EINTR) {
            Registra(QStringLiteral("erro em ppoll"));
            return 1;
        }
        if (fds[0].revents & POLLIN) {
            signalfd_siginfo info{};
            if (::read(sinal.fd(), &info, sizeof info) > 0)
                Registra(QStringLiteral("sinal %1 recebido: encerrando").arg(info.ssi_signo));
            break;
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR))
            LeDaLinha();
        if (fds[2].revents & POLLIN)
            AceitaCliente(Agora());
    }
    // The link goes with the pseudo-terminal (its destructor); say so before the process ends.
    m_pty.RemoveLink();
    return 0;
}

void Simulador::LeDaLinha() {
    QByteArray lido;
    if (PorTCP()) {
        if (m_servidor.Le(lido) < 0)
            FechaCliente(QStringLiteral("o cliente fechou a conexão"));
    } else if (m_pty.Le(lido) < 0) {
        // Should not happen while the slave side is held open; do not spin on it.
        m_leituraSuspensaAte = Agora() + 0.05;
    }
    m_entrada.Coloca(lido, Agora());
}

void Simulador::AceitaCliente(double agora) {
    QString origem;
    if (!m_servidor.Aceita(&origem)) {
        Registra(QStringLiteral("conexão recusada: a central já atende outra"));
        return;
    }
    Registra(QStringLiteral("conexão TCP de %1").arg(origem));
    m_avulso.Conecta(agora);
}

void Simulador::FechaCliente(const QString& motivo) {
    if (m_servidor.Cliente() < 0)
        return;
    m_servidor.FechaCliente();
    m_avulso.Desconecta();
    m_pendente.clear();
    Registra(QStringLiteral("conexão TCP encerrada: %1").arg(motivo));
}

void Simulador::Gira(double agora) {
    const QByteArray recebido = m_entrada.Retira(agora);
    if (!recebido.isEmpty()) {
        m_transcricao.Dados(true, recebido, agora);
        m_ponta.Recebe(recebido, agora);
    }
    m_ponta.Avanca(agora);
    m_saida.Coloca(m_ponta.TomaSaida(), agora);
    const QByteArray enviado = m_saida.Retira(agora);
    if (!enviado.isEmpty()) {
        m_transcricao.Dados(false, enviado, agora);
        m_pendente.append(enviado);
    }
    EscrevePendente(agora);
    // Over TCP the terminal's goodbye goes out before the connection is closed.
    if (PorTCP() && m_avulso.QuerFechar() && m_saida.Vazia() && m_pendente.isEmpty())
        FechaCliente(QStringLiteral("a central encerrou a sessão"));
}

void Simulador::EscrevePendente(double agora) {
    if (m_pendente.isEmpty())
        return;
    if (PorTCP() && m_servidor.Cliente() < 0) {
        m_pendente.clear(); // nobody connected: nowhere for it to go
        return;
    }
    const qint64 n = PorTCP() ? m_servidor.Escreve(m_pendente) : m_pty.Escreve(m_pendente);
    if (n > 0)
        m_pendente.remove(0, n);
    if (m_pendente.size() > kMaxPendente) {
        const qsizetype excesso = m_pendente.size() - kMaxPendente;
        m_pendente.remove(0, excesso);
        // Once per stretch: a flooding terminal would otherwise fill the record with this.
        if (!m_descartando)
            Registra(QStringLiteral("ninguém lendo a porta: bytes descartados"));
        m_descartando = true;
    }
    if (m_pendente.isEmpty())
        m_descartando = false;
    Q_UNUSED(agora);
}

double Simulador::ProximoInstante(double agora) const {
    double proximo = std::min({m_entrada.ProximaSaida(), m_saida.ProximaSaida(), m_ponta.ProximoEvento()});
    if (m_opcoes.duracao > 0.0)
        proximo = std::min(proximo, m_opcoes.duracao);
    if (m_pendente.size() > 0)
        proximo = std::min(proximo, agora + 0.05); // retry a full pseudo-terminal now and then
    return proximo;
}

void Simulador::Registra(const QString& texto) {
    const double t = Agora();
    m_transcricao.Evento(texto, t);
    if (!m_opcoes.silencioso)
        Imprime(stderr, QStringLiteral("[%1] %2").arg(t, 9, 'f', 3).arg(texto));
}

void Simulador::RegistraPagina(const PaginaRecebida& p) {
    const double t = Agora();
    m_transcricao.Pagina(p, t);
    if (!m_opcoes.silencioso)
        Imprime(stderr,
                QStringLiteral("[%1] chamada %2, página %3: pager \"%4\", mensagem \"%5\", soma %6 (%7): %8")
                    .arg(t, 9, 'f', 3)
                    .arg(p.chamada)
                    .arg(p.numero)
                    .arg(Legivel(p.codigo), Legivel(p.mensagem), Legivel(p.somaRecebida),
                         p.somaConfere
                             ? QStringLiteral("confere")
                             : QStringLiteral("esperada %1").arg(QString::fromLatin1(p.somaCalculada)),
                         p.veredito));
}
