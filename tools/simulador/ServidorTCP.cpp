#include "ServidorTCP.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
bool TentarDeNovo() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}
} // namespace

ServidorTCP::~ServidorTCP() {
    FechaCliente();
    if (m_escuta >= 0)
        ::close(m_escuta);
}

bool ServidorTCP::Abre(int porta, QString* erro) {
    m_escuta = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_escuta < 0) {
        *erro = QStringLiteral("socket: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const int sim = 1;
    ::setsockopt(m_escuta, SOL_SOCKET, SO_REUSEADDR, &sim, sizeof sim);
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    endereco.sin_port = htons(quint16(porta));
    if (::bind(m_escuta, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco) != 0 ||
        ::listen(m_escuta, 4) != 0) {
        *erro = QStringLiteral("escutar em 127.0.0.1:%1: %2")
                    .arg(porta)
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    socklen_t tamanho = sizeof endereco;
    ::getsockname(m_escuta, reinterpret_cast<sockaddr*>(&endereco), &tamanho);
    m_porta = ntohs(endereco.sin_port);
    return true;
}

QString ServidorTCP::Endereco() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_porta);
}

bool ServidorTCP::Aceita(QString* origem) {
    sockaddr_in endereco{};
    socklen_t tamanho = sizeof endereco;
    const int fd =
        ::accept4(m_escuta, reinterpret_cast<sockaddr*>(&endereco), &tamanho, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return false;
    if (m_cliente >= 0) {
        ::close(fd);
        return false;
    }
    const int sim = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &sim, sizeof sim);
    m_cliente = fd;
    char texto[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &endereco.sin_addr, texto, sizeof texto);
    *origem = QStringLiteral("%1:%2").arg(QString::fromLatin1(texto)).arg(ntohs(endereco.sin_port));
    return true;
}

qint64 ServidorTCP::Le(QByteArray& destino) {
    if (m_cliente < 0)
        return -1;
    char buffer[4096];
    const ssize_t n = ::read(m_cliente, buffer, sizeof buffer);
    if (n < 0)
        return TentarDeNovo() ? 0 : -1;
    if (n == 0)
        return -1;
    destino.append(buffer, n);
    return n;
}

qint64 ServidorTCP::Escreve(const QByteArray& bytes) {
    if (m_cliente < 0 || bytes.isEmpty())
        return 0;
    const ssize_t n = ::send(m_cliente, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
    if (n < 0)
        return TentarDeNovo() ? 0 : -1;
    return n;
}

void ServidorTCP::FechaCliente() {
    if (m_cliente >= 0)
        ::close(m_cliente);
    m_cliente = -1;
}
