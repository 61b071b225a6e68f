#include "PseudoTerminal.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
QString Erro(const QString& oque, int codigo) {
    return QStringLiteral("%1: %2").arg(oque, QString::fromLocal8Bit(std::strerror(codigo)));
}

// Raw bytes both ways: no echo, no CR/LF translation, no signals, no flow control by the tty.
bool LinhaCrua(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}
} // namespace

PseudoTerminal::~PseudoTerminal() {
    RemoveLink();
    if (m_escravo >= 0)
        ::close(m_escravo);
    if (m_mestre >= 0)
        ::close(m_mestre);
}

bool PseudoTerminal::Abre(QString* erro) {
    m_mestre = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_mestre < 0) {
        *erro = Erro(QStringLiteral("posix_openpt"), errno);
        return false;
    }
    if (grantpt(m_mestre) != 0 || unlockpt(m_mestre) != 0) {
        *erro = Erro(QStringLiteral("grantpt/unlockpt"), errno);
        return false;
    }
    char nome[128] = {};
    if (ptsname_r(m_mestre, nome, sizeof nome) != 0) {
        *erro = Erro(QStringLiteral("ptsname"), errno);
        return false;
    }
    m_dispositivo = QString::fromLocal8Bit(nome);
    m_escravo = ::open(nome, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_escravo < 0) {
        *erro = Erro(QStringLiteral("abrir o lado escravo"), errno);
        return false;
    }
    if (!LinhaCrua(m_escravo)) {
        *erro = Erro(QStringLiteral("termios"), errno);
        return false;
    }
    return true;
}

bool PseudoTerminal::CriaLink(const QString& caminho, QString* erro) {
    const QFileInfo info(caminho);
    if (info.exists() && !info.isSymLink()) {
        *erro =
            QStringLiteral("\"%1\" já existe e não é um link simbólico: não será substituído").arg(caminho);
        return false;
    }
    if (info.isSymLink() && !QFile::remove(caminho)) {
        *erro = QStringLiteral("não foi possível remover o link antigo \"%1\"").arg(caminho);
        return false;
    }
    if (::symlink(m_dispositivo.toLocal8Bit().constData(), caminho.toLocal8Bit().constData()) != 0) {
        const int codigo = errno;
        *erro = Erro(QStringLiteral("criar o link \"%1\"").arg(caminho), codigo);
        return false;
    }
    m_link = caminho;
    return true;
}

void PseudoTerminal::RemoveLink() {
    if (m_link.isEmpty())
        return;
    // Only our own link: someone may have put something else there meanwhile.
    const QFileInfo info(m_link);
    if (info.isSymLink() && info.symLinkTarget() == m_dispositivo)
        QFile::remove(m_link);
    m_link.clear();
}

qint64 PseudoTerminal::Le(QByteArray& destino) {
    char buffer[4096];
    const ssize_t n = ::read(m_mestre, buffer, sizeof buffer);
    if (n < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    destino.append(buffer, n);
    return n;
}

qint64 PseudoTerminal::Escreve(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return 0;
    const ssize_t n = ::write(m_mestre, bytes.constData(), size_t(bytes.size()));
    if (n < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    return n;
}
