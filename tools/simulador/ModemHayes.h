#pragma once
// A Hayes-compatible modem: AT command lines (echo, result codes, dialling by scenario), the
// "+++" escape with its guard time, and, while on line, the bytes of the paging terminal at the
// other end. Fed bytes and the time; what it answers is collected for the line.
#include "Cenario.h"
#include "PontaRemota.h"
#include "TerminalTAP.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <functional>
#include <limits>

class ModemHayes : public PontaRemota {
public:
    enum class Estado { Comando, Discando, EmLinha, ComandoEmLinha };

    explicit ModemHayes(const Cenario& cenario) : m_cenario(cenario), m_terminal(cenario) {}

    std::function<void(const QString&)> aoRegistrar;
    TerminalTAP& terminal() { return m_terminal; }

    void Recebe(const QByteArray& bytes, double agora) override;
    // Runs whatever is due by now (a dial verdict, the escape, the terminal's own timers).
    void Avanca(double agora) override;
    // When Avanca next has something to do; infinity when nothing is pending.
    double ProximoEvento() const override;
    QByteArray TomaSaida() override;

    Estado estado() const { return m_estado; }
    bool Eco() const { return m_eco; }
    int Chamadas() const { return m_chamadas; }

    // Longest command line kept; a longer one is answered with ERROR.
    static constexpr int kMaxLinha = 255;

private:
    enum class Resultado { Ok, Connect, NoCarrier, Error, NoDialtone, Busy, NoAnswer };
    enum class Desfecho { Ok, Erro, JaRespondido };

    void RecebeComando(char c, double agora);
    void RecebeEmLinha(char c, double agora);
    void ExecutaLinha(const QByteArray& linha, double agora);
    Desfecho ExecutaComandos(const QByteArray& comandos, double agora);
    Desfecho Disca(const QByteArray& numero, double agora);
    void ConcluiDiscagem(double agora);
    void Desliga(const QString& motivo);
    void Reinicia();
    void ColheTerminal();
    void Responde(Resultado resultado);
    void Registra(const QString& texto) const;

    static constexpr double kNunca = std::numeric_limits<double>::infinity();

    const Cenario& m_cenario;
    TerminalTAP m_terminal;
    Estado m_estado = Estado::Comando;
    QByteArray m_saida;

    bool m_eco = true;
    bool m_verbal = true;
    bool m_quieto = false;
    QMap<int, int> m_registradores;

    QByteArray m_linha;
    bool m_transbordou = false;

    int m_chamadas = 0;
    Discagem m_discagem = Discagem::Conecta;
    double m_fimDiscagem = kNunca;

    int m_mais = 0; // '+' in a row while on line
    double m_escapeEm = kNunca;
};
