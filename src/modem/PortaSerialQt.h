#pragma once
// The real serial control: QSerialPort behind the PortaSerial seam.
#include "common/PortaSerial.h"
#include "common/Relogio.h"
#include "modem/TravaDaPorta.h"

#include <QSerialPort>
#include <QString>

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
    bool PortOpen() const override { return m_porta.isOpen(); }
    void EscreveBytes(const QByteArray& bytes) override;
    QByteArray LeBytes() override;
    int InBufferCount() override;
    void AguardaDados(double prazo) override;

    // The device last tried or opened, and why the last open failed (for diagnostics).
    QString Dispositivo() const { return m_porta.portName(); }
    QString UltimoErro() const { return m_ultimoErro; }
    // The last open failed because another Bipvox program holds the modem.
    bool EmUso() const { return m_trava.Ocupada(); }
    // The device as configured: what reaches the line (a pseudo-terminal silently keeps 8N1).
    const QSerialPort& Linha() const { return m_porta; }

private:
    bool Perdida() const;
    void EsperaSemDados(double prazo);

    const Relogio& m_relogio;
    QSerialPort m_porta;
    qint16 m_numero = 0;
    bool m_configuracaoValida = true;
    ConfiguracaoDeLinha m_configuracao;
    int m_handshaking = 0;
    bool m_rts = false;
    QString m_ultimoErro;
    TravaDaPorta m_trava; // held from the first open until another device or the end
};
