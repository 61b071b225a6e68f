#pragma once
// How the simulated modem and paging terminal behave: every scenario switch of the command line.
#include <QByteArray>
#include <QSet>
#include <QVector>

// The modem's verdict on a dial command.
enum class Discagem { Conecta, Ocupado, SemPortadora, SemTom, SemResposta, Muda };

// How the terminal answers the CR prompts after the connection.
enum class ModoId { AposCRs, Espontaneo, Nunca, Minusculo };

// How the terminal answers ESC "PG1" CR. AckDuplo: accepted with no go-ahead, a second ACK CR
// shortly after, and no answer to any page.
enum class ModoLogon { Aceita, Nak, Desconecta, Mudo, AckDuplo };

// When the terminal starts sending text without end: at the connection (and never "ID="), in
// answer to the log-on request, or in answer to the first page.
enum class Inundacao { Nenhuma, AntesDoId, NoLogon, NaPagina };

struct Cenario {
    // One verdict per call, in order; the last one repeats for every later call.
    QVector<Discagem> discagens{Discagem::Conecta};
    double atrasoDiscagem = 2.0;

    ModoId modoId = ModoId::AposCRs;
    int idAposCRs = 1;               // "ID=" answers the n-th CR and every later one
    double atrasoIdEspontaneo = 1.0; // seconds after the connection

    ModoLogon logon = ModoLogon::Aceita;
    double atrasoAckDuplo = 0.1; // after the log-on's ACK
    bool exigeSenha = false;
    QByteArray senha;

    QSet<QByteArray> codigosRecusados;
    int desconectarApos = -1; // pages handled before ESC EOT CR answers the next one; -1: never
    int nakPagina = 0;        // page number (from 1 in each call) that is refused with NAK...
    int nakVezes = 0;         // ...this many times before it is judged normally
    int mudoNaPagina = 0;     // page number that gets no answer at all; 0: none
    Inundacao inundar = Inundacao::Nenhuma;
    int fecharNaPagina = 0;   // page number at which the terminal drops the line with no answer
    int fecharAposPagina = 0; // page number the terminal accepts and then drops the line

    // The kind of terminal and line.
    bool seteBits = false;       // 7 data bits (7E1): the eighth bit of every byte received is lost
    bool escapes = false;        // SUB and the character plus 64 stand for a control character
    int tamanhoMaximo = 0;       // longest message kept; 0: any
    bool recusaLonga = false;    // a longer message is refused (RS) instead of cut (212)
    bool linhasNumeradas = true; // "211 ...", "511 ..." before ACK, NAK and RS
    int limiteDaSessao = 0;      // pages per call: the last one's ACK comes with 112; 0: no limit
    bool desligaNoFim = false;   // the last one's ACK has ESC EOT CR right behind it; the line drops

    bool modemMudo = false;    // the modem answers nothing at all
    double guardaEscape = 0.5; // silence after "+++" that returns the modem to command mode

    Discagem DiscagemDaChamada(int chamada) const {
        const int k = qBound(0, chamada - 1, int(discagens.size()) - 1);
        return discagens.isEmpty() ? Discagem::Conecta : discagens[k];
    }
};
