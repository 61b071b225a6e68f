#include "ServicoDaFila.h"

#include "common/Escapado.h"
#include "common/Interrupcao.h"
#include "common/Modulo.h"
#include "common/Numero.h"
#include "fila/AvisoDaFila.h"
#include "fila/EntregaDaFila.h"
#include "fila/FilaDeEnvio.h"
#include "modem/ComandosModem.h"
#include "modem/Enlace.h"
#include "modem/PortaSerialQt.h"
#include "settings/Conexao.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"

#include <QCoreApplication>
#include <QLocalSocket>

#include <algorithm>

namespace {
// While another Bipvox program holds the port, the round is tried again this often.
constexpr double EsperaDaPortaEmUso = 5;
// After a round whose queue writes failed.
constexpr double EsperaDoBanco = 60;
} // namespace

Resposta OperadorDoServico::Mensagem(const QString& texto, const QString&, Icone, Botoes botoes) {
    if (!emRodada) {
        std::fprintf(m_saida, "%s\n", Escapado(texto.simplified()).toUtf8().constData());
        std::fflush(m_saida);
    }
    return botoes == Botoes::SimNao ? Resposta::Nao : Resposta::OK;
}

ServicoDaFila::ServicoDaFila(Relogio& relogio, std::FILE* saida)
    : m_relogio(relogio), m_saida(saida), m_operador(saida),
      m_sinal(Interrupcao::Aviso(), QSocketNotifier::Read) {
    m_proxima.setSingleShot(true);
    connect(&m_proxima, &QTimer::timeout, this, &ServicoDaFila::Rodada);
    connect(&m_aviso, &QLocalServer::newConnection, this, &ServicoDaFila::AoAviso);
    connect(&m_sinal, &QSocketNotifier::activated, this, [] { Interrupcao::Drena(); });
    Interrupcao::AoPedir(this, [this] { AoSinal(); });
}

void ServicoDaFila::Registra(const QString& texto) {
    // One event, one line: nothing from a name, a path or the terminal can split it or drive a terminal.
    std::fprintf(m_saida, "%s\n", Escapado(texto).toUtf8().constData());
    std::fflush(m_saida);
}

bool ServicoDaFila::Inicia() {
    QString erro;
    if (!Fila::GaranteTabela(&erro)) {
        Registra(QStringLiteral("a fila não pôde ser criada no banco de dados: %1").arg(erro));
        return false;
    }
    m_trava = std::make_unique<QLockFile>(TravaDoServico());
    m_trava->setStaleLockTime(0);
    if (!m_trava->tryLock(0)) {
        qint64 pid = 0;
        QString maquina, programa;
        m_trava->getLockInfo(&pid, &maquina, &programa);
        Registra(QStringLiteral("outro bipvox-servidor já entrega esta fila (processo %1)").arg(pid));
        return false;
    }
    // Before anything is recovered: the pages "enviando" may be another machine's call.
    if (!Fila::EntregaEhMinha(&erro)) {
        Registra(erro);
        return false;
    }
    const RegrasDaFila regras = LeRegrasDaFila(&m_problemaDasRegras);
    if (!m_problemaDasRegras.isEmpty())
        Registra(m_problemaDasRegras);
    const int recuperadas = Fila::RecuperaInterrompidas(regras, m_relogio.DataHoraLocal().toUTC());
    if (recuperadas > 0)
        Registra(
            regras.reenviarIncertas
                ? QStringLiteral("%1 página(s) ficaram na linha quando o serviço parou; serão reenviadas")
                      .arg(recuperadas)
                : QStringLiteral("%1 página(s) ficaram na linha quando o serviço parou: marcadas como "
                                 "incertas, não serão reenviadas sem alguém decidir")
                      .arg(recuperadas));
    // The lock is ours: a socket left by a killed service is stale.
    const QString endereco = EnderecoDoAviso();
    QLocalServer::removeServer(endereco);
    m_aviso.setSocketOptions(QLocalServer::WorldAccessOption);
    if (!m_aviso.listen(endereco)) {
        Registra(QStringLiteral("não foi possível escutar os avisos em %1: %2")
                     .arg(endereco, m_aviso.errorString()));
        return false;
    }
    Registra(QStringLiteral("serviço da fila iniciado (processo %1); avisos em %2")
                 .arg(QCoreApplication::applicationPid())
                 .arg(endereco));
    QTimer::singleShot(0, this, &ServicoDaFila::Rodada);
    return true;
}

void ServicoDaFila::AoAviso() {
    while (QLocalSocket* cliente = m_aviso.nextPendingConnection()) {
        connect(cliente, &QLocalSocket::disconnected, cliente, &QObject::deleteLater);
        cliente->disconnectFromServer();
    }
    Rodada();
}

void ServicoDaFila::AoSinal() {
    // During a round the round itself stops between pages.
    if (!m_emRodada) {
        Registra(QStringLiteral("sinal recebido: serviço encerrado"));
        QCoreApplication::exit(0);
    }
}

void ServicoDaFila::Rodada() {
    if (m_emRodada) {
        // A poke while a call is up: the round looks for new pages before it logs off; this makes
        // sure none is left for the next poke.
        m_pendente = true;
        return;
    }
    m_emRodada = true;
    double esperaDaPorta = 0;
    do {
        m_pendente = false;
        esperaDaPorta = ExecutaRodada();
    } while (m_pendente && esperaDaPorta == 0 && Interrupcao::Pedidos() == 0);
    m_emRodada = false;
    if (Interrupcao::Pedidos() > 0) {
        Registra(QStringLiteral("sinal recebido: serviço encerrado"));
        QCoreApplication::exit(0);
        return;
    }
    AgendaProxima(esperaDaPorta);
}

void ServicoDaFila::AgendaProxima(double emSegundos) {
    if (emSegundos <= 0) {
        const std::optional<QDateTime> proxima = Fila::ProximaTentativa();
        if (!proxima) {
            m_proxima.stop();
            return;
        }
        emSegundos = std::max(0.0, m_relogio.DataHoraLocal().toUTC().msecsTo(*proxima) / 1000.0);
    }
    // A timer cannot wait beyond about 24 days; it simply wakes and looks again.
    m_proxima.start(int(std::min(emSegundos * 1000.0 + 1, 86400000.0)));
}

double ServicoDaFila::ExecutaRodada() {
    QString alheia;
    if (!Fila::EntregaEhMinha(&alheia)) {
        Registra(alheia + QStringLiteral(": nova tentativa em %1 s").arg(EsperaDoBanco));
        return EsperaDoBanco;
    }
    // Before a new call: the history rows and states the last one could not write.
    if (!m_pendencias.Vazia() &&
        !GravaPendencias(m_pendencias, [this](const QString& texto) { Registra(texto); })) {
        Registra(QStringLiteral("o que a última chamada não gravou ainda não pôde ser gravado: nova "
                                "tentativa em %1 s")
                     .arg(EsperaDoBanco));
        return EsperaDoBanco;
    }
    const RegrasDaFila regras = LeRegrasDaFila();
    const QDateTime agora = m_relogio.DataHoraLocal().toUTC();
    if (Fila::Prontas(agora).isEmpty()) {
        // Nothing to send; expiry of old pages is all there is to do.
        const int expiradas = Fila::ExpiraVencidas(regras, agora);
        if (expiradas > 0)
            Registra(QStringLiteral("%1 página(s) expiraram sem serem enviadas").arg(expiradas));
        return 0;
    }

    PortaSerialQt porta(m_relogio);
    Contexto ctx{m_relogio, porta, m_operador};
    const TipoDeConexao tipo = LeTipoDeConexao();
    if (tipo != TipoDeConexao::TCP) {
        const QString portaNoINI =
            LeINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("VAZIO"));
        if (portaNoINI == QLatin1String("VAZIO")) {
            Registra(QStringLiteral("o modem ainda não foi configurado (%1): as páginas esperam na fila")
                         .arg(CaminhoDoINI()));
            return 60;
        }
        Modulo::PortaModem = ValorInteiro16(portaNoINI);
        if (!ConfiguraPorta(ctx)) {
            // Another Bipvox program in a call, or a device that is not there: the pages keep their
            // attempts and wait.
            Registra(
                QStringLiteral("a porta do modem (COM%1) não pôde ser aberta: %2; nova tentativa em %3 s")
                    .arg(Modulo::PortaModem)
                    .arg(porta.UltimoErro())
                    .arg(porta.EmUso() ? EsperaDaPortaEmUso : 60));
            return porta.EmUso() ? EsperaDaPortaEmUso : 60;
        }
        if (tipo == TipoDeConexao::Modem)
            InicializaModem(ctx);
    }
    const std::unique_ptr<Enlace> enlace = CriaEnlace(ctx);
    Contexto linha{m_relogio, enlace->Porta(), m_operador};
    m_operador.emRodada = true;
    const ResumoDaRodada resumo = EntregaProntas(
        linha, *enlace, regras, [this](const QString& texto) { Registra(texto); },
        [] { return Interrupcao::Pedidos() > 0; });
    m_operador.emRodada = false;
    m_pendencias.desfechos += resumo.pendencias.desfechos;
    m_pendencias.marcadas += resumo.pendencias.marcadas;
    porta.setPortOpen(false);
    ConsolidaBancoDeDados();
    // A full disk or a file locked for long: no new call at once for pages still due.
    if (resumo.falhaDoBanco)
        Registra(QStringLiteral("a fila não pôde ser gravada: nova tentativa em %1 s").arg(EsperaDoBanco));
    return resumo.falhaDoBanco ? EsperaDoBanco : 0;
}
