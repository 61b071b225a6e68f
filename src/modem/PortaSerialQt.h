#pragma once
// The real serial control: QSerialPort behind the PortaSerial seam.
#include "common/PortaSerial.h"
#include "common/Relogio.h"
#include "modem/TravaDaPorta.h"

#include <QFileSystemWatcher>
#include <QSerialPort>
#include <QString>
#include <functional>

// Line settings in the serial control's notation: "9600,e,7,1".
struct ConfiguracaoDeLinha {
    qint32 velocidade = 9600;
    QSerialPort::Parity paridade = QSerialPort::EvenParity;
    QSerialPort::DataBits bits = QSerialPort::Data7;
    QSerialPort::StopBits parada = QSerialPort::OneStop;
};
// False for a text the control would reject.
bool InterpretaConfiguracao(const QString& texto, ConfiguracaoDeLinha& configuracao);

class PortaSerialQt : public PortaSerial {
public:
    explicit PortaSerialQt(const Relogio& relogio);

    void setCommPort(qint16 numero) override { m_numero = numero; }
    void setSettings(const QString& configuracao) override;
    void setHandshaking(int modo) override { m_handshaking = modo; }
    void setRTSEnable(bool ligado) override { m_rts = ligado; }
    bool setPortOpen(bool aberta) override;
    bool PortOpen() const override { return m_porta.isOpen() && !m_perdida; }
    void EscreveBytes(const QByteArray& bytes) override;
    QByteArray LeBytes() override;
    int InBufferCount() override;
    void AguardaDados(double prazo) override;
    void EsvaziaSaida() override;

    // The device last tried or opened, and why the last open failed (for diagnostics).
    QString Dispositivo() const { return m_porta.portName(); }
    QString UltimoErro() const override { return m_ultimoErro; }
    // The last open failed because another Bipvox program holds the modem.
    bool EmUso() const { return m_trava.Ocupada(); }
    QString EmUsoPor() const override { return EmUso() ? m_trava.Motivo() : QString(); }
    // The device as configured: what reaches the line (a pseudo-terminal silently keeps 8N1).
    const QSerialPort& Linha() const { return m_porta; }

    // Called from the event loop when the device vanished (the port is then closed, so nothing
    // keeps firing), and when it came back and the port opened again by itself.
    void AoPerder(std::function<void()> aviso) { m_aoPerder = std::move(aviso); }
    void AoVoltar(std::function<void()> aviso) { m_aoVoltar = std::move(aviso); }

private:
    bool Perdida() const;
    void EsperaSemDados(double prazo);
    void Perde();
    void FechaPerdida();
    void TentaVoltar();
    void ParaDeVigiar();

    const Relogio& m_relogio;
    QSerialPort m_porta;
    qint16 m_numero = 0;
    bool m_configuracaoValida = true;
    ConfiguracaoDeLinha m_configuracao;
    int m_handshaking = 0;
    bool m_rts = false;
    QString m_ultimoErro;
    QByteArray m_guardados; // read while draining, perhaps after the last byte left: kept
    TravaDaPorta m_trava;   // held while the port is open
    // The device path as configured; its folder is watched while the device is gone.
    QString m_dispositivo;
    bool m_perdida = false;
    int m_tentativasDeVolta = 0;
    QFileSystemWatcher m_vigia;
    std::function<void()> m_aoPerder;
    std::function<void()> m_aoVoltar;
};
