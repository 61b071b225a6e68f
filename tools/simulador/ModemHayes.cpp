#include "ModemHayes.h"

#include "Legivel.h"

namespace {
constexpr char CR = 13, LF = 10, BS = 8, DEL = 127;

bool EhDigito(char c) {
    return c >= '0' && c <= '9';
}

char Maiuscula(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// Reads the decimal number at i, if any; padrao when there is none.
int LeNumero(const QByteArray& s, int& i, int padrao) {
    if (i >= s.size() || !EhDigito(s[i]))
        return padrao;
    int n = 0;
    while (i < s.size() && EhDigito(s[i]) && n < 100000)
        n = n * 10 + (s[i++] - '0');
    return n;
}

// Where the command begins: "AT" or "at"; anything before it (line noise, a "+++" sent while
// already in command mode) is not part of the command.
int InicioDoComando(const QByteArray& linha) {
    const auto a = linha.indexOf("AT");
    const auto b = linha.indexOf("at");
    if (a < 0)
        return int(b);
    if (b < 0)
        return int(a);
    return int(qMin(a, b));
}

QString NomeDaDiscagem(Discagem d) {
    switch (d) {
    case Discagem::Conecta:
        return QStringLiteral("conecta");
    case Discagem::Ocupado:
        return QStringLiteral("ocupado");
    case Discagem::SemPortadora:
        return QStringLiteral("sem-portadora");
    case Discagem::SemTom:
        return QStringLiteral("sem-tom");
    case Discagem::SemResposta:
        return QStringLiteral("sem-resposta");
    case Discagem::Muda:
        return QStringLiteral("mudo");
    }
    return {};
}
} // namespace

void ModemHayes::Recebe(const QByteArray& bytes, double agora) {
    if (m_cenario.modemMudo)
        return;
    Avanca(agora);
    for (const char c : bytes) {
        switch (m_estado) {
        case Estado::Comando:
        case Estado::ComandoEmLinha:
            RecebeComando(c, agora);
            break;
        case Estado::Discando:
            // Any character cancels a call in progress, as on a real modem.
            m_estado = Estado::Comando;
            m_fimDiscagem = kNunca;
            Registra(QStringLiteral("discagem interrompida por um caractere recebido"));
            if (m_discagem != Discagem::Muda)
                Responde(Resultado::NoCarrier);
            break;
        case Estado::EmLinha:
            RecebeEmLinha(c, agora);
            break;
        }
    }
}

void ModemHayes::Avanca(double agora) {
    if (m_cenario.modemMudo)
        return;
    if (m_estado == Estado::Discando && agora >= m_fimDiscagem)
        ConcluiDiscagem(agora);
    if (m_estado != Estado::EmLinha)
        return;
    if (agora >= m_escapeEm) {
        m_mais = 0;
        m_escapeEm = kNunca;
        m_estado = Estado::ComandoEmLinha;
        Registra(QStringLiteral("\"+++\": modo de comando com a ligação mantida"));
        Responde(Resultado::Ok);
        return;
    }
    m_terminal.Avanca(agora);
    ColheTerminal();
}

double ModemHayes::ProximoEvento() const {
    if (m_cenario.modemMudo)
        return kNunca;
    if (m_estado == Estado::Discando)
        return m_fimDiscagem;
    if (m_estado == Estado::EmLinha)
        return qMin(m_escapeEm, m_terminal.ProximoEvento());
    return kNunca;
}

QByteArray ModemHayes::TomaSaida() {
    QByteArray saida;
    saida.swap(m_saida);
    return saida;
}

void ModemHayes::RecebeComando(char c, double agora) {
    if (m_eco)
        m_saida.append(c);
    if (c == CR) {
        const QByteArray linha = m_linha;
        const bool transbordou = m_transbordou;
        m_linha.clear();
        m_transbordou = false;
        if (transbordou) {
            Registra(QStringLiteral("linha de comando com mais de %1 caracteres: ERROR").arg(kMaxLinha));
            Responde(Resultado::Error);
        } else {
            ExecutaLinha(linha, agora);
        }
    } else if (c == LF) {
        // Line feeds between commands are ignored.
    } else if (c == BS || c == DEL) {
        if (!m_linha.isEmpty())
            m_linha.chop(1);
    } else if (m_linha.size() < kMaxLinha) {
        m_linha.append(c);
    } else {
        m_transbordou = true;
    }
}

void ModemHayes::ExecutaLinha(const QByteArray& linha, double agora) {
    const int inicio = InicioDoComando(linha);
    if (inicio < 0) {
        if (!linha.isEmpty())
            Registra(QStringLiteral("linha sem \"AT\" ignorada: %1").arg(Legivel(linha)));
        return;
    }
    Registra(QStringLiteral("comando: %1").arg(Legivel(linha.mid(inicio))));
    QByteArray comandos = linha.mid(inicio + 2);
    comandos.replace(' ', QByteArray());
    switch (ExecutaComandos(comandos, agora)) {
    case Desfecho::Ok:
        Responde(Resultado::Ok);
        break;
    case Desfecho::Erro:
        Responde(Resultado::Error);
        break;
    case Desfecho::JaRespondido:
        break;
    }
}

ModemHayes::Desfecho ModemHayes::ExecutaComandos(const QByteArray& s, double agora) {
    int i = 0;
    while (i < s.size()) {
        const char letra = Maiuscula(s[i++]);
        switch (letra) {
        case 'D':
            return Disca(s.mid(i), agora);
        case 'Z':
            Desliga(QStringLiteral("ATZ"));
            Reinicia();
            return Desfecho::Ok; // the rest of the line is not looked at after a reset
        case 'E': {
            const int n = LeNumero(s, i, 0);
            if (n > 1)
                return Desfecho::Erro;
            m_eco = n == 1;
            break;
        }
        case 'V': {
            const int n = LeNumero(s, i, 0);
            if (n > 1)
                return Desfecho::Erro;
            m_verbal = n == 1;
            break;
        }
        case 'Q': {
            const int n = LeNumero(s, i, 0);
            if (n > 1)
                return Desfecho::Erro;
            m_quieto = n == 1;
            break;
        }
        case 'H': {
            const int n = LeNumero(s, i, 0);
            if (n > 1)
                return Desfecho::Erro;
            if (n == 0)
                Desliga(QStringLiteral("ATH0"));
            break;
        }
        case 'O':
            LeNumero(s, i, 0);
            if (m_estado != Estado::ComandoEmLinha) {
                Responde(Resultado::NoCarrier);
                return Desfecho::JaRespondido;
            }
            m_estado = Estado::EmLinha;
            Registra(QStringLiteral("de volta à linha (ATO)"));
            Responde(Resultado::Connect);
            return Desfecho::JaRespondido;
        case 'X':
            if (LeNumero(s, i, 0) > 4)
                return Desfecho::Erro;
            break;
        case 'M':
        case 'L':
            if (LeNumero(s, i, 0) > 3)
                return Desfecho::Erro;
            break;
        case 'T':
        case 'P':
            break;
        case 'I':
            LeNumero(s, i, 0);
            m_saida.append(QByteArray("\r\nBIPVOX-SIMULADOR 1.0\r\n"));
            break;
        case 'S': {
            const int registrador = LeNumero(s, i, -1);
            if (registrador < 0 || registrador > 255)
                return Desfecho::Erro;
            if (i < s.size() && s[i] == '=') {
                ++i;
                const int valor = LeNumero(s, i, 0);
                if (valor > 255)
                    return Desfecho::Erro;
                m_registradores[registrador] = valor;
            } else if (i < s.size() && s[i] == '?') {
                ++i;
                m_saida.append(QByteArray("\r\n") +
                               QByteArray::number(m_registradores.value(registrador)).rightJustified(3, '0') +
                               "\r\n");
            }
            break;
        }
        case '&': {
            if (i >= s.size())
                return Desfecho::Erro;
            const char sub = Maiuscula(s[i++]);
            const int n = LeNumero(s, i, 0);
            if (sub == 'F')
                Reinicia();
            else if (!QByteArray("CDKWQS").contains(sub) || n > 9)
                return Desfecho::Erro;
            break;
        }
        default:
            return Desfecho::Erro;
        }
    }
    return Desfecho::Ok;
}

ModemHayes::Desfecho ModemHayes::Disca(const QByteArray& numero, double agora) {
    if (m_estado == Estado::ComandoEmLinha)
        return Desfecho::Erro;
    bool temDigito = false;
    for (const char c : numero) {
        const char m = Maiuscula(c);
        if (EhDigito(c) || QByteArray("*#ABCD").contains(m))
            temDigito = true;
        else if (!QByteArray("TPW,-()!@").contains(m))
            return Desfecho::Erro;
    }
    if (!temDigito)
        return Desfecho::Erro;
    ++m_chamadas;
    m_discagem = m_cenario.DiscagemDaChamada(m_chamadas);
    m_estado = Estado::Discando;
    m_fimDiscagem = m_discagem == Discagem::Muda ? kNunca : agora + m_cenario.atrasoDiscagem;
    Registra(QStringLiteral("chamada %1: discando %2 (%3)")
                 .arg(m_chamadas)
                 .arg(QString::fromLatin1(numero), NomeDaDiscagem(m_discagem)));
    return Desfecho::JaRespondido;
}

void ModemHayes::ConcluiDiscagem(double agora) {
    m_fimDiscagem = kNunca;
    m_estado = Estado::Comando;
    switch (m_discagem) {
    case Discagem::Conecta:
        m_estado = Estado::EmLinha;
        m_mais = 0;
        m_escapeEm = kNunca;
        Registra(QStringLiteral("chamada %1: conectado").arg(m_chamadas));
        Responde(Resultado::Connect);
        m_terminal.Conecta(agora, m_chamadas);
        break;
    case Discagem::Ocupado:
        Responde(Resultado::Busy);
        break;
    case Discagem::SemPortadora:
        Responde(Resultado::NoCarrier);
        break;
    case Discagem::SemTom:
        Responde(Resultado::NoDialtone);
        break;
    case Discagem::SemResposta:
        Responde(Resultado::NoAnswer);
        break;
    case Discagem::Muda:
        break;
    }
}

void ModemHayes::RecebeEmLinha(char c, double agora) {
    // Escape: exactly three '+' followed by the guard time of silence. The '+' still reach the
    // far end, as they do on a real line.
    if (c == '+') {
        ++m_mais;
        m_escapeEm = m_mais == 3 ? agora + m_cenario.guardaEscape : kNunca;
    } else {
        m_mais = 0;
        m_escapeEm = kNunca;
    }
    m_terminal.Recebe(QByteArray(1, c), agora);
    ColheTerminal();
}

void ModemHayes::ColheTerminal() {
    m_saida.append(m_terminal.TomaSaida());
    if (!m_terminal.QuerDesligar())
        return;
    m_terminal.Desliga();
    m_estado = Estado::Comando;
    m_mais = 0;
    m_escapeEm = kNunca;
    Registra(QStringLiteral("chamada %1: o terminal desligou").arg(m_chamadas));
    Responde(Resultado::NoCarrier);
}

void ModemHayes::Desliga(const QString& motivo) {
    if (m_estado != Estado::EmLinha && m_estado != Estado::ComandoEmLinha)
        return;
    m_terminal.Desliga();
    m_estado = Estado::Comando;
    m_mais = 0;
    m_escapeEm = kNunca;
    Registra(QStringLiteral("chamada %1: desligada (%2)").arg(m_chamadas).arg(motivo));
}

void ModemHayes::Reinicia() {
    m_eco = true;
    m_verbal = true;
    m_quieto = false;
    m_registradores.clear();
}

void ModemHayes::Responde(Resultado resultado) {
    if (m_quieto)
        return;
    const char* texto = "";
    int numero = 0;
    switch (resultado) {
    case Resultado::Ok:
        texto = "OK";
        numero = 0;
        break;
    case Resultado::Connect:
        texto = "CONNECT 9600";
        numero = 12;
        break;
    case Resultado::NoCarrier:
        texto = "NO CARRIER";
        numero = 3;
        break;
    case Resultado::Error:
        texto = "ERROR";
        numero = 4;
        break;
    case Resultado::NoDialtone:
        texto = "NO DIALTONE";
        numero = 6;
        break;
    case Resultado::Busy:
        texto = "BUSY";
        numero = 7;
        break;
    case Resultado::NoAnswer:
        texto = "NO ANSWER";
        numero = 8;
        break;
    }
    if (m_verbal)
        m_saida.append(QByteArray("\r\n") + texto + "\r\n");
    else
        m_saida.append(QByteArray::number(numero) + '\r');
}

void ModemHayes::Registra(const QString& texto) const {
    if (aoRegistrar)
        aoRegistrar(texto);
}
