#include "modem/PortaSerialQt.h"

#include "common/Interrupcao.h"
#include "settings/DispositivoDaPorta.h"

#include <QFileInfo>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <utility>

bool InterpretaConfiguracao(const QString& texto, ConfiguracaoDeLinha& configuracao) {
    const QStringList partes = texto.split(QLatin1Char(','));
    if (partes.size() != 4)
        return false;
    bool ok = false;
    const int velocidade = partes[0].trimmed().toInt(&ok);
    if (!ok || velocidade <= 0)
        return false;
    ConfiguracaoDeLinha c;
    c.velocidade = velocidade;
    const QString paridade = partes[1].trimmed().toLower();
    if (paridade == QLatin1String("n"))
        c.paridade = QSerialPort::NoParity;
    else if (paridade == QLatin1String("e"))
        c.paridade = QSerialPort::EvenParity;
    else if (paridade == QLatin1String("o"))
        c.paridade = QSerialPort::OddParity;
    else if (paridade == QLatin1String("m"))
        c.paridade = QSerialPort::MarkParity;
    else if (paridade == QLatin1String("s"))
        c.paridade = QSerialPort::SpaceParity;
    else
        return false;
    const int bits = partes[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return false;
    c.bits = static_cast<QSerialPort::DataBits>(bits);
    const QString parada = partes[3].trimmed();
    if (parada == QLatin1String("1"))
        c.parada = QSerialPort::OneStop;
    else if (parada == QLatin1String("1.5"))
        c.parada = QSerialPort::OneAndHalfStop;
    else if (parada == QLatin1String("2"))
        c.parada = QSerialPort::TwoStop;
    else
        return false;
    configuracao = c;
    return true;
}

namespace {
// A device node may appear before it can be opened (permissions still being set): a few tries,
// one second apart, then only after the next change of its folder.
constexpr int TentativasDeVolta = 5;
} // namespace

PortaSerialQt::PortaSerialQt(const Relogio& relogio) : m_relogio(relogio) {
    m_porta.setReadBufferSize(MaximoGuardadoNaPorta);
    QObject::connect(&m_porta, &QSerialPort::errorOccurred, &m_porta, [this](QSerialPort::SerialPortError e) {
        // An unplugged device reports a resource error; a line whose other end is gone (a
        // pseudo-terminal's master) keeps failing reads. Either way the open port is useless.
        if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError)
            Perde();
    });
    QObject::connect(&m_vigia, &QFileSystemWatcher::directoryChanged, &m_porta, [this] {
        m_tentativasDeVolta = 0;
        TentaVoltar();
    });
}

void PortaSerialQt::Perde() {
    if (m_perdida)
        return;
    m_perdida = true;
    m_ultimoErro = m_porta.errorString();
    // Closed from the event loop: this may run inside one of QSerialPort's own waits.
    QMetaObject::invokeMethod(
        &m_porta, [this] { FechaPerdida(); }, Qt::QueuedConnection);
}

void PortaSerialQt::FechaPerdida() {
    if (!m_perdida)
        return;
    // An open port on a vanished device keeps signalling; closed, it costs nothing while idle.
    m_porta.close();
    const QString pasta = QFileInfo(m_dispositivo).absolutePath();
    if (!m_dispositivo.isEmpty() && !m_vigia.directories().contains(pasta))
        m_vigia.addPath(pasta);
    if (m_aoPerder)
        m_aoPerder();
    TentaVoltar();
}

void PortaSerialQt::TentaVoltar() {
    // Bounded, so a device that opens and fails at once cannot keep the program busy.
    if (!m_perdida || m_tentativasDeVolta >= TentativasDeVolta || !QFileInfo::exists(m_dispositivo))
        return;
    ++m_tentativasDeVolta;
    if (setPortOpen(true)) {
        if (m_aoVoltar)
            m_aoVoltar();
        return;
    }
    QTimer::singleShot(1000, &m_porta, [this] { TentaVoltar(); });
}

void PortaSerialQt::ParaDeVigiar() {
    m_perdida = false;
    if (!m_vigia.directories().isEmpty())
        m_vigia.removePaths(m_vigia.directories());
}

void PortaSerialQt::setSettings(const QString& configuracao) {
    m_configuracaoValida = InterpretaConfiguracao(configuracao, m_configuracao);
}

bool PortaSerialQt::setPortOpen(bool aberta) {
    if (!aberta) {
        m_guardados.clear();
        ParaDeVigiar();
        if (m_porta.isOpen())
            m_porta.close();
        // A closed port is free for the other Bipvox programs.
        m_trava.Libera();
        return true;
    }
    if (m_porta.isOpen() && !m_perdida)
        return true;
    if (m_porta.isOpen())
        m_porta.close();
    const QString dispositivo = DispositivoDaPorta(m_numero);
    m_dispositivo = dispositivo;
    if (dispositivo.isEmpty() || !m_configuracaoValida) {
        m_ultimoErro = dispositivo.isEmpty() ? QStringLiteral("porta inexistente")
                                             : QStringLiteral("configuração inválida");
        return false;
    }
    if (!m_trava.Obtem(dispositivo)) {
        m_ultimoErro = m_trava.Motivo();
        return false;
    }
    // Line parameters are set before the open: a pseudo-terminal accepts the open but may refuse
    // some of them afterwards, which is no reason to call the open failed.
    m_porta.setPortName(dispositivo);
    m_porta.setBaudRate(m_configuracao.velocidade);
    m_porta.setParity(m_configuracao.paridade);
    m_porta.setDataBits(m_configuracao.bits);
    m_porta.setStopBits(m_configuracao.parada);
    m_porta.setFlowControl(m_handshaking == 2 || m_handshaking == 3 ? QSerialPort::HardwareControl
                           : m_handshaking == 1                     ? QSerialPort::SoftwareControl
                                                                    : QSerialPort::NoFlowControl);
    if (!m_porta.open(QIODevice::ReadWrite)) {
        m_ultimoErro = m_porta.errorString();
        m_trava.Libera();
        return false;
    }
    if (m_porta.flowControl() != QSerialPort::HardwareControl)
        m_porta.setRequestToSend(m_rts);
    m_porta.clearError();
    m_ultimoErro.clear();
    ParaDeVigiar();
    return true;
}

bool PortaSerialQt::Perdida() const {
    // An unplugged USB modem: reads give nothing and writes go nowhere, but nothing fails loudly.
    return m_perdida || !m_porta.isOpen() || m_porta.error() == QSerialPort::ResourceError ||
           m_porta.error() == QSerialPort::PermissionError;
}

void PortaSerialQt::EscreveBytes(const QByteArray& bytes) {
    if (Perdida())
        return;
    m_porta.write(bytes);
    // The caller may wait without letting events run next, so push the bytes out now.
    const double prazo = m_relogio.Agora() + 2.0;
    while (m_porta.bytesToWrite() > 0 && !Perdida() && m_relogio.Agora() < prazo)
        m_porta.waitForBytesWritten(100);
}

void PortaSerialQt::EsvaziaSaida() {
    if (Perdida())
        return;
    // Polled rather than tcdrain(): a modem holding CTS low must not block the send for ever.
    // What was read before a poll that still finds bytes leaving surely came too early; what the
    // last read got may already be the answer, so it is kept.
    const double prazo = m_relogio.Agora() + 2.0;
    for (;;) {
        m_guardados = LeBytes();
        int naFila = 0;
        if (::ioctl(m_porta.handle(), TIOCOUTQ, &naFila) != 0 || naFila <= 0 || m_relogio.Agora() >= prazo)
            return;
        m_guardados.clear();
        QThread::usleep(500);
    }
}

QByteArray PortaSerialQt::LeBytes() {
    if (Perdida())
        return {};
    if (!m_guardados.isEmpty())
        return std::exchange(m_guardados, {}) + m_porta.readAll();
    // A poll that finds nothing costs a pass through the terminal driver; a wait that just woke
    // on data has it here already, and what follows is read at the next call.
    if (m_porta.bytesAvailable() == 0)
        m_porta.waitForReadyRead(0);
    return m_porta.readAll();
}

int PortaSerialQt::InBufferCount() {
    if (Perdida())
        return 0;
    if (!m_guardados.isEmpty())
        return int(m_guardados.size() + m_porta.bytesAvailable());
    if (m_porta.bytesAvailable() == 0)
        m_porta.waitForReadyRead(0);
    return static_cast<int>(m_porta.bytesAvailable());
}

void PortaSerialQt::EsperaSemDados(double prazo) {
    const double restante = prazo - m_relogio.Agora();
    if (restante >= 0)
        QThread::msleep(static_cast<unsigned long>(std::min(restante * 1000.0 + 1.0, 50.0)));
}

void PortaSerialQt::AguardaDados(double prazo) {
    if (Perdida()) {
        EsperaSemDados(prazo);
        return;
    }
    if (m_porta.bytesAvailable() > 0 || !m_guardados.isEmpty())
        return;
    const double restante = prazo - m_relogio.Agora();
    const int ms = static_cast<int>(std::ceil(std::max(restante, 0.0) * 1000.0)) + 1;
    // The device and the signal pipe together: a termination signal wakes the wait at once.
    pollfd espera[2] = {{int(m_porta.handle()), POLLIN, 0}, {Interrupcao::Aviso(), POLLIN, 0}};
    if (::poll(espera, espera[1].fd >= 0 ? 2 : 1, ms) > 0 && (espera[1].revents & POLLIN))
        Interrupcao::Drena();
    if (!m_porta.waitForReadyRead(0) && Perdida())
        EsperaSemDados(prazo);
}
