#pragma once
// What lies between the program and the paging terminal during one transmission: a modem that
// dials and hangs up, a serial cable that is simply there, or a TCP connection. The TAP
// conversation is the same over each; only opening and closing differ.
#include "common/Contexto.h"
#include "settings/Conexao.h"

#include <QString>
#include <memory>

class Enlace {
public:
    virtual ~Enlace() = default;

    // Where the TAP conversation runs while the link is up.
    virtual PortaSerial& Porta() = 0;
    // Status line while the link comes up.
    virtual QString StatusDaAbertura() const = 0;
    // Progress window title while it goes down.
    virtual QString TituloDoFechamento() const = 0;

    // Before opening: a device lost since the last send opened again. False after the operator
    // has been told it is missing.
    virtual bool RecuperaPorta(Contexto&) { return true; }
    // On a silent terminal: true after telling the operator that the device itself went away.
    virtual bool InformaPerda(Contexto&) { return false; }
    // Dial, check the cable's port, or connect. False after the operator has been told why.
    virtual bool Abre(Contexto& ctx) = 0;
    // After the log-off: hang up, nothing, or close. Leaves " Pronto" on the status line.
    virtual void Fecha(Contexto& ctx) = 0;
    // A send given up part way; the session may still be open at the terminal.
    virtual void Interrompe(Contexto& ctx) { Fecha(ctx); }
    // After a send that went through: the line made ready for the next one.
    virtual void Renova(Contexto& ctx) = 0;
};

// Progress window title when the window opens.
QString TituloDaAbertura(TipoDeConexao tipo);

class EnlaceModem : public Enlace {
public:
    explicit EnlaceModem(PortaSerial& porta) : m_porta(porta) {}
    PortaSerial& Porta() override { return m_porta; }
    QString StatusDaAbertura() const override;
    QString TituloDoFechamento() const override;
    bool RecuperaPorta(Contexto& ctx) override;
    bool InformaPerda(Contexto& ctx) override;
    bool Abre(Contexto& ctx) override;
    void Fecha(Contexto& ctx) override;
    void Renova(Contexto& ctx) override;

private:
    PortaSerial& m_porta;
    // A failed dial left no call, so no guard time before "+++"; any other hang-up (also of a
    // call dialed before this link was made) waits for it.
    bool m_discagemFalhou = false;
};

// No Hayes command ever goes down a direct line.
class EnlaceDireto : public Enlace {
public:
    explicit EnlaceDireto(PortaSerial& porta) : m_porta(porta) {}
    PortaSerial& Porta() override { return m_porta; }
    QString StatusDaAbertura() const override;
    QString TituloDoFechamento() const override;
    bool Abre(Contexto& ctx) override;
    void Fecha(Contexto& ctx) override;
    // There is no line to drop, so the session is ended with the log-off instead.
    void Interrompe(Contexto& ctx) override;
    void Renova(Contexto& ctx) override;

private:
    PortaSerial& m_porta;
};

class EnlaceTCP : public Enlace {
public:
    // destino: "host:port", for the texts; problema: why the settings cannot be used, if so.
    EnlaceTCP(std::unique_ptr<PortaSerial> porta, const QString& destino, const QString& problema = {});
    // Over a port owned elsewhere (tests).
    EnlaceTCP(PortaSerial& porta, const QString& destino) : m_porta(porta), m_destino(destino) {}
    PortaSerial& Porta() override { return m_porta; }
    QString StatusDaAbertura() const override;
    QString TituloDoFechamento() const override;
    bool InformaPerda(Contexto& ctx) override;
    bool Abre(Contexto& ctx) override;
    void Fecha(Contexto& ctx) override;
    void Renova(Contexto&) override {}

private:
    std::unique_ptr<PortaSerial> m_propria;
    PortaSerial& m_porta;
    QString m_destino;
    QString m_problema;
};

// The link the settings ask for now; the modem and the direct line use ctx.porta.
std::unique_ptr<Enlace> CriaEnlace(Contexto& ctx);
