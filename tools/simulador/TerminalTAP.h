#pragma once
// The paging operator's terminal at the far end of the call: prompts for "ID=", takes the
// automatic-mode log-on, judges every TAP block and says goodbye. Fed bytes and the time; what it
// says is collected for the modem to put on the line.
#include "Cenario.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <limits>

struct PaginaRecebida {
    int chamada = 0;
    int numero = 0; // within the call, from 1; a page sent again keeps its number
    QByteArray codigo;
    QByteArray mensagem;
    QByteArray somaRecebida;
    QByteArray somaCalculada;
    bool somaConfere = false;
    // "aceita", "recusada", "nak-soma", "nak", "desconexao" or "sem-resposta"
    QString veredito;
};

class TerminalTAP {
public:
    explicit TerminalTAP(const Cenario& cenario) : m_cenario(cenario) {}

    std::function<void(const PaginaRecebida&)> aoReceberPagina;
    std::function<void(const QString&)> aoRegistrar;

    // The carrier comes up for call number chamada (from 1) and goes away.
    void Conecta(double agora, int chamada);
    void Desliga();
    bool Conectado() const { return m_estado != Estado::Livre; }
    // The terminal has said its last words and wants the line dropped.
    bool QuerDesligar() const { return m_querDesligar; }

    void Recebe(const QByteArray& bytes, double agora);
    void Avanca(double agora);
    double ProximoEvento() const;
    QByteArray TomaSaida();

    static constexpr int kMaxLinhaLogon = 64;
    static constexpr int kMaxBloco = 1024;

private:
    enum class Estado { Livre, Identificacao, Automatico, Encerrando };

    void RecebeNaIdentificacao(char c, double agora);
    void RecebeNoAutomatico(char c);
    void RecebeNoBloco(char c);
    bool FimDeSessao(char c);
    void RespondePrompt();
    void EnviaId(const QByteArray& texto);
    void ProcessaLogon(const QByteArray& linha, double agora);
    void JulgaBloco();
    void Encerra();
    void PedeDesligar();
    void Inunda(const QString& quando);
    void Diz(const QByteArray& bytes) { m_saida.append(bytes); }
    // A numbered line's text, or nothing from a terminal that sends none.
    QByteArray Numerada(const QByteArray& linha) const {
        return m_cenario.linhasNumeradas ? linha : QByteArray();
    }
    void Registra(const QString& texto) const;

    static constexpr double kNunca = std::numeric_limits<double>::infinity();

    const Cenario& m_cenario;
    Estado m_estado = Estado::Livre;
    bool m_querDesligar = false;
    QByteArray m_saida;
    int m_chamada = 0;

    int m_crs = 0;
    bool m_idEnviado = false;
    double m_idEspontaneoEm = kNunca;
    QByteArray m_linhaLogon; // from ESC up to the CR
    bool m_eotAnterior = false;
    double m_ackTardioEm = kNunca;
    double m_jorroEm = kNunca; // next burst of a flood
    double m_agora = 0.0;

    bool m_noBloco = false;
    QByteArray m_bloco; // from STX
    int m_posEtx = -1;
    int m_paginasConcluidas = 0;
    int m_naksDados = 0;
};
