#pragma once
// A scripted modem and paging terminal behind the PortaSerial seam, on a virtual clock.
// Rules say what to answer when the program writes something; answers are delivered at a
// virtual time, one read chunk each.
#include "RelogioVirtual.h"
#include "common/PortaSerial.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <functional>
#include <map>

class ModemRoteirizado : public PortaSerial {
public:
    explicit ModemRoteirizado(RelogioVirtual& relogio) : m_relogio(relogio) {}

    // When a write contains gatilho (or is exactly it: a lone CR prompt, say), answer resposta
    // after atraso seconds. Rules are tried in the order given; the first one that matches and
    // still has uses fires (vezes < 0: always).
    void QuandoRecebe(const QByteArray& gatilho, const QByteArray& resposta, double atraso = 0.0,
                      int vezes = -1, bool exato = false) {
        m_regras.append({gatilho, resposta, atraso, vezes, exato});
    }
    // Unprompted data at an absolute virtual time, after whatever is due at the same time.
    void EntregaEm(double instante, const QByteArray& dados) { m_pendentes.emplace(instante, dados); }
    // Unprompted data after atraso seconds from now.
    void Entrega(double atraso, const QByteArray& dados) { EntregaEm(m_relogio.Agora() + atraso, dados); }
    // Common answers: "OK" to "ATZ"/"ate0"/"ATE0", a terminal that logs on, and both with a call
    // that connects and every page accepted.
    void ModemQueRespondeOK();
    void TerminalQueAceitaLogOn();
    void CentralQueAceita();

    // Everything the program wrote, in order.
    QByteArray linha;
    struct Escrita {
        double instante;
        QByteArray bytes;
    };
    QVector<Escrita> escritas;
    int Contagem(const QByteArray& trecho) const { return linha.count(trecho); }

    // Port state as the program set it.
    QString settings;
    bool rtsEnable = false;
    int aberturas = 0;
    int fechamentos = 0;
    // Opens that fail before one succeeds; with emUsoPor, because another program holds the port.
    int falhasAoAbrir = 0;
    QString emUsoPor;
    QString EmUsoPor() const override { return m_ocupada ? emUsoPor : QString(); }
    // The device vanishes: the port closes, what was on its way is lost, and opening fails
    // until ausente is cleared (the device is back).
    void Perde() {
        m_aberta = false;
        m_pendentes.clear();
        ausente = true;
    }
    bool ausente = false;
    // Called after each write the program makes (a test may act "when the page goes out").
    std::function<void(const QByteArray&)> aoEscrever;

    void setCommPort(qint16) override {}
    void setSettings(const QString& configuracao) override { settings = configuracao; }
    void setHandshaking(int) override {}
    void setRTSEnable(bool ligado) override { rtsEnable = ligado; }
    bool setPortOpen(bool aberta) override;
    bool PortOpen() const override { return m_aberta; }
    void EscreveBytes(const QByteArray& bytes) override;
    QByteArray LeBytes() override;
    int InBufferCount() override;
    void AguardaDados(double prazo) override;
    // Waits until the last byte written has crossed the line at segundosPorByte; what arrived
    // before then is dropped.
    void EsvaziaSaida() override;
    double segundosPorByte = 0.0;

private:
    struct Regra {
        QByteArray gatilho;
        QByteArray resposta;
        double atraso;
        int vezes;
        bool exato;
    };
    RelogioVirtual& m_relogio;
    QVector<Regra> m_regras;
    std::multimap<double, QByteArray> m_pendentes; // by delivery time
    bool m_aberta = false;
    bool m_ocupada = false;
    double m_linhaLivreEm = 0.0;
};
