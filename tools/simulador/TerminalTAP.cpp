#include "TerminalTAP.h"

#include "Legivel.h"
#include "SomaTAP.h"

#include <algorithm>

namespace {
constexpr char STX = 2, ETX = 3, EOT = 4, ACK = 6, CR = 13, NAK = 21, SUB = 26, ESC = 27, RS = 30;

QByteArray Controle(char c) {
    return QByteArray(1, c);
}
const QByteArray kNakCr = Controle(NAK) + Controle(CR);
const QByteArray kDesconexao = Controle(ESC) + Controle(EOT) + Controle(CR);
const QByteArray kSessaoCheia = "112 Maximum Pages Entered for Session";

// Only printable ASCII goes back in a message line: echoing a sender's control bytes could
// read as an ACK or an RS on the other side.
QByteArray Imprimivel(const QByteArray& bytes) {
    QByteArray saida = bytes;
    for (char& c : saida)
        if (c < 32 || c > 126)
            c = '?';
    return saida;
}

// TAP 1.8's escapes: SUB and a character from '@' to '_' stand for the control character 64 below.
QByteArray SemEscapes(const QByteArray& texto) {
    QByteArray saida;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const char seguinte = i + 1 < texto.size() ? texto[i + 1] : 0;
        if (texto[i] == SUB && seguinte >= '@' && seguinte <= '_')
            saida += char(texto[++i] - '@');
        else
            saida += texto[i];
    }
    return saida;
}
} // namespace

void TerminalTAP::Conecta(double agora, int chamada) {
    Desliga();
    m_estado = Estado::Identificacao;
    m_chamada = chamada;
    m_agora = agora;
    if (m_cenario.inundar == Inundacao::AntesDoId)
        Inunda(QStringLiteral("na conexão"));
    if (m_cenario.modoId == ModoId::Espontaneo)
        m_idEspontaneoEm = agora + m_cenario.atrasoIdEspontaneo;
}

void TerminalTAP::Desliga() {
    m_estado = Estado::Livre;
    m_querDesligar = false;
    m_saida.clear();
    m_crs = 0;
    m_idEnviado = false;
    m_idEspontaneoEm = kNunca;
    m_linhaLogon.clear();
    m_eotAnterior = false;
    m_ackTardioEm = kNunca;
    m_jorroEm = kNunca;
    m_noBloco = false;
    m_bloco.clear();
    m_posEtx = -1;
    m_paginasConcluidas = 0;
    m_naksDados = 0;
}

void TerminalTAP::Recebe(const QByteArray& bytes, double agora) {
    Avanca(agora);
    m_agora = agora;
    for (char c : bytes) {
        if (m_cenario.seteBits)
            c = char(c & 0x7F);
        switch (m_estado) {
        case Estado::Identificacao:
            RecebeNaIdentificacao(c, agora);
            break;
        case Estado::Automatico:
            RecebeNoAutomatico(c);
            break;
        case Estado::Livre:
        case Estado::Encerrando:
            return;
        }
    }
}

void TerminalTAP::Avanca(double agora) {
    m_agora = agora;
    if ((m_estado == Estado::Identificacao || m_estado == Estado::Automatico) && agora >= m_jorroEm) {
        // Printable text with no "ID=", ACK or RS in it: only its amount can end the wait.
        Diz(QByteArray("dados sem fim ").repeated(300));
        m_jorroEm = agora + 0.01;
    }
    if (m_estado == Estado::Identificacao && agora >= m_idEspontaneoEm) {
        m_idEspontaneoEm = kNunca;
        EnviaId("ID=");
    }
    if (m_estado == Estado::Automatico && agora >= m_ackTardioEm) {
        m_ackTardioEm = kNunca;
        Registra(QStringLiteral("segundo ACK CR ao log-on (cenário)"));
        Diz(Controle(ACK) + Controle(CR));
    }
}

double TerminalTAP::ProximoEvento() const {
    const double proximo = m_estado == Estado::Identificacao ? m_idEspontaneoEm
                           : m_estado == Estado::Automatico  ? m_ackTardioEm
                                                             : kNunca;
    return Conectado() ? std::min(proximo, m_jorroEm) : proximo;
}

void TerminalTAP::Inunda(const QString& quando) {
    Registra(QStringLiteral("a central manda dados sem fim %1 (cenário)").arg(quando));
    m_jorroEm = m_agora;
}

QByteArray TerminalTAP::TomaSaida() {
    QByteArray saida;
    saida.swap(m_saida);
    return saida;
}

bool TerminalTAP::FimDeSessao(char c) {
    const bool fim = m_eotAnterior && c == CR;
    m_eotAnterior = c == EOT;
    return fim;
}

void TerminalTAP::RecebeNaIdentificacao(char c, double agora) {
    if (!m_linhaLogon.isEmpty()) {
        if (c == CR) {
            const QByteArray linha = m_linhaLogon;
            m_linhaLogon.clear();
            ProcessaLogon(linha, agora);
        } else if (m_linhaLogon.size() >= kMaxLinhaLogon) {
            m_linhaLogon.clear();
            Registra(QStringLiteral("pedido de log-on longo demais: descartado"));
        } else {
            m_linhaLogon.append(c);
        }
        return;
    }
    if (FimDeSessao(c)) {
        Encerra();
    } else if (c == ESC) {
        m_linhaLogon = Controle(ESC);
    } else if (c == CR) {
        ++m_crs;
        RespondePrompt();
    }
}

void TerminalTAP::RespondePrompt() {
    if (m_jorroEm != kNunca)
        return;
    switch (m_cenario.modoId) {
    case ModoId::AposCRs:
        if (m_crs >= m_cenario.idAposCRs)
            EnviaId("ID=");
        break;
    case ModoId::Minusculo:
        EnviaId("id=");
        break;
    case ModoId::Espontaneo:
    case ModoId::Nunca:
        break;
    }
}

void TerminalTAP::EnviaId(const QByteArray& texto) {
    if (!m_idEnviado)
        Registra(QStringLiteral("terminal pede identificação: \"%1\"").arg(QString::fromLatin1(texto)));
    m_idEnviado = true;
    Diz(texto);
}

void TerminalTAP::ProcessaLogon(const QByteArray& linha, double agora) {
    const QString legivel = Legivel(linha);
    if (!m_idEnviado) {
        Registra(QStringLiteral("log-on %1 antes do \"ID=\": ignorado").arg(legivel));
        return;
    }
    switch (m_cenario.logon) {
    case ModoLogon::Mudo:
        Registra(QStringLiteral("log-on %1 sem resposta (cenário)").arg(legivel));
        return;
    case ModoLogon::Desconecta:
        Registra(QStringLiteral("log-on %1 respondido com ESC EOT (cenário)").arg(legivel));
        Diz(kDesconexao);
        PedeDesligar();
        return;
    case ModoLogon::Nak:
        Registra(QStringLiteral("log-on %1 recusado com NAK (cenário)").arg(legivel));
        Diz(kNakCr);
        return;
    case ModoLogon::Aceita:
    case ModoLogon::AckDuplo:
        break;
    }
    if (m_cenario.inundar == Inundacao::NoLogon) {
        Inunda(QStringLiteral("em resposta ao log-on"));
        return;
    }
    const QByteArray servico = Controle(ESC) + "PG1";
    if (!linha.startsWith(servico)) {
        Registra(QStringLiteral("log-on desconhecido %1: recusado com NAK").arg(legivel));
        Diz(kNakCr);
        return;
    }
    if (m_cenario.exigeSenha && linha.mid(servico.size()) != m_cenario.senha) {
        Registra(QStringLiteral("log-on com senha errada: recusado com NAK"));
        Diz(kNakCr);
        return;
    }
    m_estado = Estado::Automatico;
    if (m_cenario.logon == ModoLogon::AckDuplo) {
        Registra(QStringLiteral("log-on aceito sem sinal para enviar; outro ACK virá (cenário)"));
        Diz(Numerada("110 1.8") + CR + ACK + CR);
        m_ackTardioEm = agora + m_cenario.atrasoAckDuplo;
        return;
    }
    Registra(QStringLiteral("log-on aceito"));
    Diz(Numerada("110 1.8") + CR + ACK + CR + ESC + "[p" + CR);
}

void TerminalTAP::RecebeNoAutomatico(char c) {
    if (m_noBloco) {
        RecebeNoBloco(c);
        return;
    }
    if (FimDeSessao(c)) {
        Encerra();
    } else if (c == STX) {
        m_noBloco = true;
        m_bloco = Controle(STX);
        m_posEtx = -1;
    }
    // Anything else between blocks (late prompts, the modem escape, noise) means nothing here.
}

void TerminalTAP::RecebeNoBloco(char c) {
    if (m_posEtx < 0) {
        if (c == STX) {
            Registra(QStringLiteral("STX no meio de um bloco: o bloco incompleto foi descartado"));
            m_bloco = Controle(STX);
            return;
        }
        m_bloco.append(c);
        if (c == ETX) {
            m_posEtx = int(m_bloco.size()) - 1;
        } else if (m_bloco.size() > kMaxBloco) {
            Registra(QStringLiteral("bloco sem ETX passou de %1 bytes: descartado com NAK").arg(kMaxBloco));
            Diz(kNakCr);
            m_noBloco = false;
        }
        return;
    }
    // After ETX come the three sum characters and a CR; a short sum simply fails to match.
    const int soma = int(m_bloco.size()) - 1 - m_posEtx;
    if (c == CR) {
        JulgaBloco();
    } else if (soma < 3) {
        m_bloco.append(c);
        return;
    } else {
        Registra(QStringLiteral("bloco sem CR depois da soma: recusado com NAK"));
        Diz(kNakCr);
    }
    m_noBloco = false;
}

void TerminalTAP::JulgaBloco() {
    PaginaRecebida p;
    p.chamada = m_chamada;
    p.numero = m_paginasConcluidas + 1;
    const QByteArray corpo = m_bloco.mid(1, m_posEtx - 1);
    const auto cr = corpo.indexOf(CR);
    if (cr < 0) {
        p.codigo = corpo;
    } else {
        p.codigo = corpo.left(cr);
        p.mensagem = corpo.mid(cr + 1);
        if (p.mensagem.endsWith(CR))
            p.mensagem.chop(1);
    }
    p.somaRecebida = m_bloco.mid(m_posEtx + 1);
    p.somaCalculada = SomaTAP(m_bloco.left(m_posEtx + 1));
    p.somaConfere = p.somaRecebida == p.somaCalculada;
    if (m_cenario.escapes)
        p.mensagem = SemEscapes(p.mensagem);
    const bool longa = m_cenario.tamanhoMaximo > 0 && p.mensagem.size() > m_cenario.tamanhoMaximo;
    const int limite = m_cenario.limiteDaSessao;
    const bool sessaoCheia = limite > 0 && m_paginasConcluidas >= limite;

    if (m_cenario.inundar == Inundacao::NaPagina) {
        p.veredito = QStringLiteral("inundacao");
        Inunda(QStringLiteral("em resposta à página"));
    } else if (p.numero == m_cenario.fecharNaPagina) {
        p.veredito = QStringLiteral("fechada");
        Registra(QStringLiteral("a central derruba a ligação sem responder à página (cenário)"));
        PedeDesligar();
    } else if (p.numero == m_cenario.mudoNaPagina || m_cenario.logon == ModoLogon::AckDuplo) {
        p.veredito = QStringLiteral("sem-resposta");
        ++m_paginasConcluidas;
    } else if (!p.somaConfere) {
        p.veredito = QStringLiteral("nak-soma");
        Diz(Numerada("514 Checksum Error. Exp " + p.somaCalculada + "; Got: " + Imprimivel(p.somaRecebida)) +
            CR + kNakCr);
    } else if (p.numero == m_cenario.nakPagina && m_naksDados < m_cenario.nakVezes) {
        ++m_naksDados;
        p.veredito = QStringLiteral("nak");
        Diz(kNakCr);
    } else if (sessaoCheia ||
               (m_cenario.desconectarApos >= 0 && m_paginasConcluidas >= m_cenario.desconectarApos)) {
        p.veredito = QStringLiteral("desconexao");
        Diz((sessaoCheia ? Numerada(kSessaoCheia) + CR : QByteArray()) + kDesconexao);
        PedeDesligar();
    } else if (m_cenario.codigosRecusados.contains(p.codigo)) {
        p.veredito = QStringLiteral("recusada");
        ++m_paginasConcluidas;
        Diz(Numerada("511 Invalid pager ID") + CR + RS + CR);
    } else if (longa && m_cenario.recusaLonga) {
        p.veredito = QStringLiteral("recusada");
        ++m_paginasConcluidas;
        Registra(QStringLiteral("mensagem de %1 caracteres recusada: o máximo é %2 (cenário)")
                     .arg(p.mensagem.size())
                     .arg(m_cenario.tamanhoMaximo));
        Diz(Numerada("513 Message too long, rejected") + CR + RS + CR);
    } else {
        p.veredito = QStringLiteral("aceita");
        ++m_paginasConcluidas;
        QByteArray resposta = Numerada("211 Page(s) Sent Successfully") + CR;
        if (longa) {
            Registra(QStringLiteral("mensagem de %1 caracteres cortada em %2 (cenário)")
                         .arg(p.mensagem.size())
                         .arg(m_cenario.tamanhoMaximo));
            p.mensagem.truncate(m_cenario.tamanhoMaximo);
            resposta = Numerada("212 Long message truncated and sent") + CR;
        }
        if (m_paginasConcluidas == limite) {
            Registra(QStringLiteral("limite de %1 páginas da sessão: a central não aceita mais nesta ligação "
                                    "(cenário)")
                         .arg(limite));
            resposta += Numerada(kSessaoCheia) + CR;
        }
        Diz(resposta + ACK + CR);
        if (m_paginasConcluidas == limite && m_cenario.desligaNoFim) {
            Diz(kDesconexao);
            PedeDesligar();
        }
        if (p.numero == m_cenario.fecharAposPagina) {
            Registra(QStringLiteral("a central derruba a ligação logo depois do ACK (cenário)"));
            PedeDesligar();
        }
    }
    if (aoReceberPagina)
        aoReceberPagina(p);
}

void TerminalTAP::Encerra() {
    Registra(QStringLiteral("fim de sessão pedido (EOT): terminal se despede e desliga"));
    Diz(Numerada("115 Sessao encerrada") + CR + kDesconexao);
    PedeDesligar();
}

void TerminalTAP::PedeDesligar() {
    m_querDesligar = true;
    m_estado = Estado::Encerrando;
}

void TerminalTAP::Registra(const QString& texto) const {
    if (aoRegistrar)
        aoRegistrar(texto);
}
