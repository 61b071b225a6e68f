#pragma once
// The serial control the modem code is written against. The program uses PortaSerialQt;
// tests use a scripted modem on a virtual clock.
#include "common/Win1252.h"

#include <QByteArray>
#include <QString>

// What a port keeps of received data nobody has read yet; past it the sender is held back (flow
// control, a full TCP window) instead of the program growing.
constexpr qint64 MaximoGuardadoNaPorta = 64 * 1024;

class PortaSerial {
public:
    virtual ~PortaSerial() = default;

    // Line parameters; they take effect at the next open.
    virtual void setCommPort(qint16 numero) = 0;
    virtual void setSettings(const QString& configuracao) = 0; // "9600,e,7,1"
    virtual void setHandshaking(int modo) = 0;                 // 2: RTS/CTS
    virtual void setRTSEnable(bool ligado) = 0;

    // Opening returns false when the port cannot be opened; closing a closed port is harmless.
    virtual bool setPortOpen(bool aberta) = 0;
    virtual bool PortOpen() const = 0;

    virtual void EscreveBytes(const QByteArray& bytes) = 0;
    // What has been received and not yet read; never blocks. Bytes the driver still holds may
    // come at the next call: InBufferCount counts them too.
    virtual QByteArray LeBytes() = 0;
    virtual int InBufferCount() = 0;
    // Blocks, without letting window events run, until data is waiting or the clock is past prazo.
    virtual void AguardaDados(double prazo) = 0;
    // Blocks until what was written has left the port (its last bit on the wire), or a bounded
    // time has passed, and drops what arrived meanwhile: it came before the far end could have
    // read the whole of it. A network connection hands its bytes over at once: nothing to do.
    virtual void EsvaziaSaida() {}
    // Why the last open failed, in words for the operator; empty when there is nothing to say.
    virtual QString UltimoErro() const { return {}; }
    // When the last open failed because another Bipvox program holds the port: who, in words for
    // the operator ("em uso por ... (..., processo N)"); empty otherwise.
    virtual QString EmUsoPor() const { return {}; }

    void Output(const QString& texto) { EscreveBytes(ParaWin1252(texto)); }
    QString Input() { return DeWin1252(LeBytes()); }
};
