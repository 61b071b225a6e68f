#include "SessaoSNPP.h"

#include "MensagemDoEnvio.h"
#include "OpcoesDoEnvio.h"
#include "PaginasDaFila.h"
#include "SenhasSNPP.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTimeZone>

namespace {

QByteArray Resposta(int codigo, const QString& texto) {
    return QByteArray::number(codigo) + ' ' + texto.toUtf8() + "\r\n";
}

// The directory's sentences are made for a command line ("...; nada foi discado. Use --pager");
// a client gets the first clause, capitalised.
QString Frase(const QString& erro) {
    QString f = erro.section(QLatin1Char(';'), 0, 0).trimmed();
    if (f.endsWith(QLatin1Char('.')))
        f.chop(1);
    if (!f.isEmpty())
        f[0] = f[0].toUpper();
    return f;
}

// Only what a reader can see of a word the client sent, and not much of it.
QString Visivel(const QString& texto) {
    QString v;
    for (const QChar c : texto.left(32))
        v += c.isPrint() ? c : QLatin1Char('?');
    return v;
}

// Compiled once: every command line is split at its first blank.
const QRegularExpression& Branco() {
    static const QRegularExpression branco(QStringLiteral("\\s"));
    return branco;
}

// RFC 1861 lets a command be abbreviated to its first four letters ("PAGE" for "PAGEr").
bool E(const QString& palavra, const char* comando) {
    return palavra.size() >= 4 && QLatin1String(comando).startsWith(palavra);
}

const char* const kAjuda[] = {
    "Comandos do gateway SNPP do Bipvox (RFC 1861, nível 2):",
    "  PAGE destino       código de pager, nome de usuário ou de grupo (todos os membros);",
    "                     repita para mais destinatários da mesma mensagem",
    "  MESS texto         a mensagem, numa linha",
    "  DATA               a mensagem em várias linhas, terminada por uma linha só com \".\"",
    "  SUBJ texto         assunto, posto antes da mensagem",
    "  HOLD AAMMDDHHMMSS [+/-GMT]  entrega não antes dessa hora",
    "  LOGI usuário [senha]        identifica quem envia",
    "  LEVE 0-11, ALER 0|1         aceitos, sem efeito na central",
    "  SEND               põe as páginas na fila de envio",
    "  RESE               desfaz a transação; QUIT encerra",
};

} // namespace

SessaoSNPP::SessaoSNPP(Relogio& relogio, const QString& endereco, const SenhasSNPP* senhas)
    : m_relogio(relogio), m_endereco(endereco), m_senhas(senhas) {}

QByteArray SessaoSNPP::Saudacao() {
    return Resposta(220, QStringLiteral("Bipvox: gateway SNPP pronto"));
}

QByteArray SessaoSNPP::Corta(const QString& motivo) {
    m_encerrada = true;
    if (registra)
        registra(QStringLiteral("SNPP %1: conexão encerrada: %2").arg(m_endereco, motivo));
    return Resposta(421, Frase(motivo) + QStringLiteral("; conexão encerrada"));
}

QByteArray SessaoSNPP::Recebe(const QByteArray& bruta) {
    if (m_encerrada)
        return {};
    QByteArray linha = bruta;
    if (linha.endsWith('\r'))
        linha.chop(1);
    if (linha.size() > TamanhoDaLinha) {
        Recomeca();
        return Corta(QStringLiteral("linha longa demais (máximo %1 bytes)").arg(TamanhoDaLinha));
    }
    if (m_emDados)
        return Dados(linha);
    return Comando(TextoDaEntrada(linha));
}

QByteArray SessaoSNPP::Erro(int codigo, const QString& texto) {
    if (++m_erros > MaximoDeErros) {
        Recomeca();
        return Corta(QStringLiteral("erros demais"));
    }
    return Resposta(codigo, texto);
}

void SessaoSNPP::Recomeca() {
    m_paginas.clear();
    m_destinos = 0;
    m_mensagem.clear();
    m_temMensagem = false;
    m_assunto.clear();
    m_naoAntes = {};
    m_emDados = false;
    m_dados.clear();
}

QString SessaoSNPP::Origem() const {
    return QStringLiteral("SNPP ") + m_endereco +
           (m_usuario.isEmpty() ? QString() : QLatin1Char(' ') + m_usuario);
}

QByteArray SessaoSNPP::Comando(const QString& linha) {
    const QString texto = linha.trimmed();
    const qsizetype espaco = texto.indexOf(Branco());
    const QString palavra = texto.left(espaco < 0 ? texto.size() : espaco).toUpper();
    const QString argumento = espaco < 0 ? QString() : texto.mid(espaco).trimmed();

    if (E(palavra, "PAGER"))
        return Pagina(argumento);
    if (E(palavra, "MESSAGE") || E(palavra, "DATA")) {
        if (m_temMensagem)
            return Erro(503, QStringLiteral("A mensagem já foi dada; RESE recomeça a transação"));
        if (palavra.startsWith(QLatin1String("DATA"))) {
            m_emDados = true;
            return Resposta(354, QStringLiteral("Escreva a mensagem; termine com uma linha só com \".\""));
        }
        if (argumento.isEmpty())
            return Erro(550, QStringLiteral("A mensagem está vazia"));
        m_mensagem = argumento;
        m_temMensagem = true;
        return Resposta(250, QStringLiteral("Mensagem aceita"));
    }
    if (E(palavra, "SEND"))
        return Envia();
    if (E(palavra, "RESET")) {
        Recomeca();
        return Resposta(250, QStringLiteral("Transação desfeita"));
    }
    if (E(palavra, "QUIT")) {
        m_encerrada = true;
        return Resposta(221, QStringLiteral("Até logo"));
    }
    if (E(palavra, "HELP")) {
        QByteArray ajuda;
        for (const char* linhaDaAjuda : kAjuda)
            ajuda += Resposta(214, QString::fromUtf8(linhaDaAjuda));
        return ajuda + Resposta(250, QStringLiteral("Fim da ajuda"));
    }
    if (E(palavra, "LOGIN"))
        return Entrada(argumento);
    if (E(palavra, "LEVEL")) {
        bool ok = false;
        const int nivel = argumento.toInt(&ok);
        if (!ok || nivel < 0 || nivel > 11)
            return Erro(550, QStringLiteral("Nível de serviço inválido: de 0 a 11"));
        return Resposta(250, QStringLiteral("Nível de serviço aceito"));
    }
    if (E(palavra, "ALERT")) {
        if (argumento != QLatin1String("0") && argumento != QLatin1String("1"))
            return Erro(550, QStringLiteral("Alerta inválido: 0 ou 1"));
        return Resposta(250, QStringLiteral("Alerta aceito"));
    }
    if (E(palavra, "COVERAGE"))
        return Erro(550, QStringLiteral("Não há área de cobertura alternativa: as páginas vão pela central "
                                        "configurada"));
    if (E(palavra, "HOLDUNTIL"))
        return Hora(argumento);
    if (E(palavra, "SUBJECT")) {
        if (argumento.isEmpty())
            return Erro(550, QStringLiteral("O assunto está vazio"));
        m_assunto = argumento;
        return Resposta(250, QStringLiteral("Assunto aceito"));
    }
    return Erro(500, QStringLiteral("Comando não implementado: \"%1\"").arg(Visivel(palavra)));
}

QByteArray SessaoSNPP::Dados(const QByteArray& linha) {
    if (linha == ".") {
        m_emDados = false;
        // A block of only blank lines is as empty as an empty MESS.
        const QString texto = TextoDaEntrada(m_dados);
        m_dados.clear();
        if (texto.trimmed().isEmpty())
            return Erro(550, QStringLiteral("A mensagem está vazia"));
        m_mensagem = texto;
        m_temMensagem = true;
        return Resposta(250, QStringLiteral("Mensagem aceita"));
    }
    // A line the client began with "." came with one more in front of it.
    const QByteArray conteudo = linha.startsWith('.') ? linha.mid(1) : linha;
    if (m_dados.size() + conteudo.size() + 1 > TamanhoDosDados) {
        Recomeca();
        return Corta(QStringLiteral("mensagem grande demais (máximo %1 bytes)").arg(TamanhoDosDados));
    }
    m_dados += conteudo + '\n';
    return {};
}

QByteArray SessaoSNPP::Entrada(const QString& argumento) {
    static const QRegularExpression branco(QStringLiteral("\\s+"));
    const QString usuario = argumento.section(branco, 0, 0);
    if (usuario.isEmpty())
        return Erro(550, QStringLiteral("Falta o usuário: LOGI usuário [senha]"));
    // Without sign-in, LOGI only names who sends (HylaFAX's sendpage gives no password).
    if (!m_senhas) {
        m_usuario = Visivel(usuario);
        return Resposta(250, QStringLiteral("Entrada aceita: %1").arg(m_usuario));
    }
    m_entrou = SenhasSNPP::NomeValido(usuario) && m_senhas->Confere(usuario, argumento.section(branco, 1));
    if (aoEntrar)
        aoEntrar(m_entrou);
    if (m_entrou) {
        m_usuario = usuario;
        return Resposta(250, QStringLiteral("Entrada aceita: %1").arg(m_usuario));
    }
    m_usuario.clear();
    const int falhas = falhasAnteriores + ++m_falhas;
    if (registra)
        registra(QStringLiteral("SNPP %1: entrada recusada para \"%2\" (%3ª falha seguida deste endereço)")
                     .arg(m_endereco, Visivel(usuario))
                     .arg(falhas));
    // From the fourth failure on, each answer takes longer: 1, 2, 4 ... up to 30 s.
    m_espera = falhas > 3 ? std::min(double(1 << std::min(falhas - 4, 5)), 30.0) : 0;
    return Erro(550, QStringLiteral("Usuário ou senha inválidos"));
}

QByteArray SessaoSNPP::Pagina(const QString& destino) {
    if (m_senhas && !m_entrou)
        return Erro(550, QStringLiteral("Entre primeiro: LOGI usuário senha"));
    if (destino.isEmpty())
        return Erro(550, QStringLiteral("Falta o destinatário: PAGE código, usuário ou grupo"));
    if (m_destinos >= MaximoDeDestinos)
        return Erro(552,
                    QStringLiteral("Destinatários demais nesta transação (máximo %1)").arg(MaximoDeDestinos));
    // A code is digits, as TAP terminals take them, so a misspelt name is not paged as a code;
    // a pager password some clients send after it is not used by the terminal here. A user or
    // group of that name still comes first, found by the directory's key alone: a code must not
    // cost a reading of the whole directory.
    const QString codigo = destino.section(Branco(), 0, 0);
    static const QRegularExpression algarismos(QStringLiteral("^[0-9]+$"));
    const bool eCodigo = CodigoValido(codigo) && algarismos.match(codigo).hasMatch();
    const Busca busca = eCodigo ? Busca::SoAChave : Busca::Completa;
    PaginasDoDestino achadas = PaginasPara(TipoDeDestino::Usuario, destino, {}, busca);
    const QString parecidos = achadas.erro.section(QStringLiteral("Nomes parecidos:"), 1).trimmed();
    if (achadas.desconhecido)
        achadas = PaginasPara(TipoDeDestino::Grupo, destino, {}, busca);
    if (achadas.desconhecido) {
        if (!eCodigo)
            return Erro(550,
                        QStringLiteral("Destinatário desconhecido: \"%1\" não é usuário, grupo nem código "
                                       "de pager (até %2 algarismos)%3")
                            .arg(Visivel(destino))
                            .arg(TamanhoDoCodigo)
                            .arg(parecidos.isEmpty() ? QString()
                                                     : QStringLiteral(". Nomes parecidos: ") + parecidos));
        achadas = PaginasPara(TipoDeDestino::Pager, codigo);
    }
    if (achadas.falhaDoBanco)
        return Erro(554, Frase(achadas.erro));
    if (!achadas.erro.isEmpty())
        return Erro(550, Frase(achadas.erro));
    ++m_destinos;
    m_paginas += achadas.paginas;
    return Resposta(250, QStringLiteral("Destinatário aceito: %1 página(s)").arg(achadas.paginas.size()));
}

QByteArray SessaoSNPP::Hora(const QString& argumento) {
    // YYMMDDHHMMSS, then the difference from GMT in hours ("+7", "-3") or hours and minutes
    // ("+0000", "-0300"); without it, the server's local time.
    static const QRegularExpression formato(QStringLiteral(
        "^(\\d{2})(\\d{2})(\\d{2})(\\d{2})(\\d{2})(\\d{2})(?:\\s*([+-])(\\d{1,2})(?::?(\\d{2}))?)?$"));
    const QRegularExpressionMatch m = formato.match(argumento);
    const auto n = [&m](int i) { return m.captured(i).toInt(); };
    const QDate data(2000 + n(1), n(2), n(3));
    const QTime hora(n(4), n(5), n(6));
    if (!m.hasMatch() || !data.isValid() || !hora.isValid() || n(8) > 14 || n(9) > 59)
        return Erro(550, QStringLiteral("Hora inválida: HOLD AAMMDDHHMMSS [+/-diferença do GMT]"));
    QDateTime quando;
    if (m.capturedLength(7) > 0) {
        const int segundos = (n(8) * 3600 + n(9) * 60) * (m.captured(7) == QLatin1String("-") ? -1 : 1);
        quando = QDateTime(data, hora, QTimeZone(segundos));
    } else {
        quando = QDateTime(data, hora);
    }
    m_naoAntes = quando.toUTC();
    return Resposta(250, QStringLiteral("Entrega não antes de %1")
                             .arg(quando.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))));
}

QByteArray SessaoSNPP::Envia() {
    if (m_paginas.isEmpty() || !m_temMensagem)
        return Erro(503, QStringLiteral("Falta o destinatário (PAGE) ou a mensagem (MESS ou DATA)"));
    const QString texto = m_assunto.isEmpty() ? m_mensagem : m_assunto + QStringLiteral(": ") + m_mensagem;
    QString mensagem, erro;
    if (!PreparaMensagem(texto, mensagem, erro))
        return Erro(554, Frase(erro));
    QVector<Fila::PaginaNova> paginas = m_paginas;
    for (Fila::PaginaNova& p : paginas) {
        p.mensagem = mensagem;
        p.naoAntes = m_naoAntes;
    }
    const Fila::PedidoDaFila pedido{paginas, Origem(), m_relogio.DataHoraLocal().toUTC(), {}, {}};
    if (gravaJunto) {
        m_aguardaGravacao = true;
        gravaJunto(pedido);
        return {};
    }
    QVector<Fila::PedidoDaFila> so{pedido};
    Fila::EnfileiraJuntos(so);
    return Gravada(so[0]);
}

QByteArray SessaoSNPP::Gravada(const Fila::PedidoDaFila& pedido) {
    m_aguardaGravacao = false;
    const QVector<qint64>& ids = pedido.ids;
    if (!pedido.erro.isEmpty()) {
        if (registra)
            registra(QStringLiteral("SNPP %1: a fila não pôde ser gravada: %2").arg(m_endereco, pedido.erro));
        return Erro(554, QStringLiteral("A fila não pôde ser gravada; nada foi posto na fila"));
    }
    QStringList numeros;
    for (const qint64 id : ids)
        numeros << QString::number(id);
    if (registra)
        registra(QStringLiteral("%1: %2 página(s) na fila (%3)")
                     .arg(Origem())
                     .arg(ids.size())
                     .arg(numeros.join(QStringLiteral(", "))));
    Recomeca();
    if (aoEnfileirar)
        aoEnfileirar(ids);
    return Resposta(
        250,
        QStringLiteral("%1 página(s) na fila: %2").arg(ids.size()).arg(numeros.join(QStringLiteral(", "))));
}
