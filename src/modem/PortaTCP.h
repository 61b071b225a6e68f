#pragma once
// TAP over a TCP connection behind the PortaSerial seam: opening connects to host and port,
// closing closes the connection. The serial line parameters mean nothing here.
#include "common/PortaSerial.h"
#include "common/Relogio.h"

#include <QTcpSocket>

class PortaTCP : public PortaSerial {
public:
    explicit PortaTCP(Relogio& relogio);

    void setEndereco(const QString& host, quint16 porta);

    void setCommPort(qint16) override {}
    void setSettings(const QString&) override {}
    void setHandshaking(int) override {}
    void setRTSEnable(bool) override {}
    // Connecting lets window events run, so the progress window stays alive meanwhile.
    bool setPortOpen(bool aberta) override;
    bool PortOpen() const override;
    void EscreveBytes(const QByteArray& bytes) override;
    QByteArray LeBytes() override;
    int InBufferCount() override;
    void AguardaDados(double prazo) override;
    QString UltimoErro() const override { return m_ultimoErro; }

    static constexpr double PrazoDeConexao = 20;

private:
    QString Motivo() const;

    Relogio& m_relogio;
    QTcpSocket m_socket;
    QString m_host;
    quint16 m_porta = 0;
    QString m_ultimoErro;
};
