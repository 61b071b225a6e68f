#include "modem/PortaTCP.h"

#include "common/Interrupcao.h"

#include <QThread>
#include <algorithm>
#include <cmath>
#include <poll.h>

namespace {
constexpr double IntervaloDeEventos = 0.05;
}

PortaTCP::PortaTCP(Relogio& relogio) : m_relogio(relogio) {
    m_socket.setReadBufferSize(MaximoGuardadoNaPorta);
}

void PortaTCP::setEndereco(const QString& host, quint16 porta) {
    m_host = host;
    m_porta = porta;
}

QString PortaTCP::Motivo() const {
    switch (m_socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("conexão recusada");
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("endereço não encontrado");
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("tempo de espera esgotado");
    case QAbstractSocket::NetworkError:
        return QStringLiteral("rede inacessível");
    case QAbstractSocket::RemoteHostClosedError:
        return QStringLiteral("a central encerrou a conexão");
    default:
        return QStringLiteral("falha de rede");
    }
}

bool PortaTCP::setPortOpen(bool aberta) {
    if (!aberta) {
        if (m_socket.state() == QAbstractSocket::ConnectedState) {
            m_socket.disconnectFromHost();
            if (m_socket.state() != QAbstractSocket::UnconnectedState)
                m_socket.waitForDisconnected(1000);
        }
        m_socket.abort();
        return true;
    }
    if (PortOpen())
        return true;
    if (m_host.isEmpty() || m_porta == 0) {
        m_ultimoErro = QStringLiteral("endereço ou porta TCP não configurados");
        return false;
    }
    m_socket.abort();
    m_socket.connectToHost(m_host, m_porta);
    const double prazo = m_relogio.Agora() + PrazoDeConexao;
    // The event loop completes the attempt. waitForConnected would give it up, and reset the
    // socket, at the end of each short wait: a first SYN lost to a full queue or a slow network
    // would end the whole connect after one interval.
    while (m_socket.state() != QAbstractSocket::ConnectedState &&
           m_socket.state() != QAbstractSocket::UnconnectedState && m_relogio.Agora() <= prazo)
        m_relogio.Pausa(std::min(IntervaloDeEventos, std::max(prazo - m_relogio.Agora(), 0.0)));
    if (m_socket.state() == QAbstractSocket::ConnectedState) {
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_ultimoErro.clear();
        return true;
    }
    m_ultimoErro = m_socket.state() == QAbstractSocket::UnconnectedState
                       ? Motivo()
                       : QStringLiteral("tempo de espera esgotado");
    m_socket.abort();
    return false;
}

bool PortaTCP::PortOpen() const {
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

void PortaTCP::EscreveBytes(const QByteArray& bytes) {
    if (!PortOpen())
        return;
    m_socket.write(bytes);
    // The caller may wait without letting events run next, so push the bytes out now.
    const double prazo = m_relogio.Agora() + 2.0;
    while (m_socket.bytesToWrite() > 0 && PortOpen() && m_relogio.Agora() < prazo)
        m_socket.waitForBytesWritten(100);
}

QByteArray PortaTCP::LeBytes() {
    // Whatever arrived before the far end closed is still read.
    if (PortOpen())
        m_socket.waitForReadyRead(0);
    return m_socket.readAll();
}

int PortaTCP::InBufferCount() {
    if (m_socket.bytesAvailable() == 0 && PortOpen())
        m_socket.waitForReadyRead(0);
    return int(m_socket.bytesAvailable());
}

void PortaTCP::AguardaDados(double prazo) {
    if (m_socket.bytesAvailable() > 0)
        return;
    const double restante = std::max(prazo - m_relogio.Agora(), 0.0);
    if (PortOpen()) {
        // The connection and the signal pipe together: a termination signal wakes the wait.
        pollfd espera[2] = {{int(m_socket.socketDescriptor()), POLLIN, 0}, {Interrupcao::Aviso(), POLLIN, 0}};
        if (::poll(espera, espera[1].fd >= 0 ? 2 : 1, int(std::ceil(restante * 1000.0)) + 1) > 0 &&
            (espera[1].revents & POLLIN))
            Interrupcao::Drena();
        m_socket.waitForReadyRead(0);
        return;
    }
    // A closed connection gives nothing; sleep instead of spinning until the deadline.
    QThread::msleep(static_cast<unsigned long>(std::min(restante * 1000.0 + 1.0, 50.0)));
}
