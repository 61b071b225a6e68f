#include "ServidorSNPP.h"

#include "SenhasSNPP.h"
#include "SessaoSNPP.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>

#include <cmath>
#include <termios.h>
#include <unistd.h>

namespace {

const QString kSecao = QStringLiteral("SNPP");

// Replies a client does not read pile up here; past this the client is dropped.
constexpr qint64 SaidaMaxima = 64 * 1024;
// How long a refused or finished client gets to take its last reply before the socket is dropped.
constexpr int PrazoDoAdeus = 5000;

void Anota(QString* problema, const QString& chave, const QString& valor) {
    if (!problema)
        return;
    if (!problema->isEmpty())
        *problema += QStringLiteral("; ");
    *problema += QStringLiteral("valor inválido em [SNPP] %1: \"%2\" (vale o padrão)").arg(chave, valor);
}

QHostAddress Normal(const QHostAddress& endereco) {
    bool ipv4 = false;
    const quint32 v4 = endereco.toIPv4Address(&ipv4);
    return ipv4 ? QHostAddress(v4) : endereco;
}

void Despede(QTcpSocket* socket, const QByteArray& resposta) {
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(resposta);
    socket->disconnectFromHost();
    QTimer::singleShot(PrazoDoAdeus, socket, [socket] { socket->abort(); });
}

// One client: lines in, replies out, cut off when idle or when it floods.
class ConexaoSNPP : public QObject {
public:
    ConexaoSNPP(QTcpSocket* socket, Relogio& relogio, const QString& endereco, double tempoOcioso,
                const SenhasSNPP* senhas, QObject* pai)
        : QObject(pai), m_socket(socket), m_sessao(relogio, endereco, senhas), m_tempoOcioso(tempoOcioso) {
        m_socket->setParent(this);
        // Qt keeps no more than this of what the client sent: the rest waits in the kernel.
        m_socket->setReadBufferSize(8192);
        m_ocioso.setSingleShot(true);
        connect(&m_ocioso, &QTimer::timeout, this, [this] {
            Responde(m_sessao.Corta(
                QStringLiteral("nenhum comando completo em %1 s").arg(m_tempoOcioso, 0, 'g', 4)));
        });
        connect(m_socket, &QTcpSocket::readyRead, this, &ConexaoSNPP::Le);
        connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        m_ocioso.start(int(m_tempoOcioso * 1000));
        Responde(SessaoSNPP::Saudacao());
    }
    SessaoSNPP& Sessao() { return m_sessao; }
    void Gravada(const Fila::PedidoDaFila& pedido) {
        m_retida = false;
        m_ocioso.start(int(m_tempoOcioso * 1000));
        Responde(m_sessao.Gravada(pedido));
        Le();
    }

private:
    void Le() {
        for (;;) {
            if (m_retida)
                return; // the rest waits until the held reply is out
            if (m_sessao.Encerrada()) {
                m_socket->readAll(); // nothing more is heard from a client being let go
                return;
            }
            const qsizetype fim = m_buffer.indexOf('\n');
            if (fim >= 0 || m_buffer.size() > SessaoSNPP::TamanhoDaLinha + 1) {
                // A line too long goes in whole, and the session cuts the client off.
                const QByteArray linha = fim >= 0 ? m_buffer.left(fim) : m_buffer;
                m_buffer.remove(0, fim >= 0 ? fim + 1 : m_buffer.size());
                m_ocioso.start(int(m_tempoOcioso * 1000));
                const QByteArray resposta = m_sessao.Recebe(linha);
                if (m_sessao.AguardaGravacao()) {
                    m_retida = true; // the reply, and the lines after it, wait for the write
                    m_ocioso.stop();
                    return;
                }
                if (const double espera = m_sessao.TomaEspera(); espera > 0) {
                    m_retida = true;
                    m_ocioso.stop();
                    QTimer::singleShot(int(espera * 1000), this, [this, resposta] {
                        m_retida = false;
                        m_ocioso.start(int(m_tempoOcioso * 1000));
                        Responde(resposta);
                        Le();
                    });
                    return;
                }
                Responde(resposta);
                continue;
            }
            const QByteArray mais = m_socket->read(4096);
            if (mais.isEmpty())
                return;
            m_buffer += mais;
        }
    }

    void Responde(const QByteArray& resposta) {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return;
        m_socket->write(resposta);
        if (m_socket->bytesToWrite() > SaidaMaxima) {
            m_socket->abort();
            return;
        }
        if (m_sessao.Encerrada()) {
            m_ocioso.stop();
            m_socket->disconnectFromHost();
            QTimer::singleShot(PrazoDoAdeus, m_socket, [s = m_socket] { s->abort(); });
        }
    }

    QTcpSocket* m_socket;
    SessaoSNPP m_sessao;
    double m_tempoOcioso;
    QTimer m_ocioso;
    QByteArray m_buffer;
    bool m_retida = false;
};

} // namespace

void GravacaoEmGrupo::Pede(const Fila::PedidoDaFila& pedido, Pronto pronto) {
    m_pedidos << pedido;
    m_prontos << std::move(pronto);
    // A zero timer runs after the sockets already readable are read: the SENDs that came while
    // the last write waited for the disk all join the next one.
    if (!m_marcada)
        QTimer::singleShot(0, this, &GravacaoEmGrupo::Grava);
    m_marcada = true;
}

void GravacaoEmGrupo::Grava() {
    m_marcada = false;
    QVector<Fila::PedidoDaFila> pedidos;
    QVector<Pronto> prontos;
    pedidos.swap(m_pedidos);
    prontos.swap(m_prontos);
    Fila::EnfileiraJuntos(pedidos);
    ++gravacoes;
    for (int i = 0; i < pedidos.size(); ++i)
        prontos[i](pedidos[i]);
}

ConfiguracaoSNPP LeConfiguracaoSNPP(QString* problema) {
    ConfiguracaoSNPP c;
    if (problema)
        problema->clear();
    const LeituraINI ini;
    const auto le = [&ini](const char* chave) {
        return ini.Le(kSecao, QString::fromUtf8(chave), QString()).trimmed();
    };

    const QString endereco = le("Endereço");
    if (!endereco.isEmpty()) {
        const QHostAddress lido(endereco == QLatin1String("*") ? QStringLiteral("::") : endereco);
        if (lido.isNull())
            Anota(problema, QStringLiteral("Endereço"), endereco);
        else
            c.endereco = endereco == QLatin1String("*") ? QHostAddress(QHostAddress::Any) : lido;
    }
    const QString porta = le("Porta");
    if (!porta.isEmpty()) {
        bool ok = false;
        const int n = porta.toInt(&ok);
        if (ok && n >= 0 && n <= 65535)
            c.porta = quint16(n);
        else
            Anota(problema, QStringLiteral("Porta"), porta);
    }
    const QString redes = le("Redes Permitidas");
    if (!redes.isEmpty()) {
        QList<QPair<QHostAddress, int>> lidas;
        for (QString rede : redes.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts)) {
            if (!rede.contains(QLatin1Char('/')))
                rede += rede.contains(QLatin1Char(':')) ? QStringLiteral("/128") : QStringLiteral("/32");
            const QPair<QHostAddress, int> r = QHostAddress::parseSubnet(rede);
            if (r.first.isNull()) {
                lidas.clear();
                break;
            }
            lidas << r;
        }
        if (lidas.isEmpty())
            Anota(problema, QStringLiteral("Redes Permitidas"), redes);
        else
            c.redes = lidas;
    }
    const QString conexoes = le("Conexões Máximas");
    if (!conexoes.isEmpty()) {
        bool ok = false;
        const int n = conexoes.toInt(&ok);
        if (ok && n >= 1 && n <= 10000)
            c.maximoDeConexoes = n;
        else
            Anota(problema, QStringLiteral("Conexões Máximas"), conexoes);
    }
    const QString exigir = le("Exigir Entrada");
    if (!exigir.isEmpty()) {
        if (exigir.compare(QLatin1String("Sim"), Qt::CaseInsensitive) == 0)
            c.exigirEntrada = true;
        else if (exigir.compare(QStringLiteral("Não"), Qt::CaseInsensitive) != 0)
            Anota(problema, QStringLiteral("Exigir Entrada"), exigir);
    }
    const QString senhas = le("Arquivo de Senhas");
    const QDir pasta = QFileInfo(CaminhoDoINI()).dir();
    c.arquivoDeSenhas = pasta.filePath(senhas.isEmpty() ? QStringLiteral("SenhasSNPP.txt") : senhas);
    const QString ocioso = le("Tempo Ocioso");
    if (!ocioso.isEmpty()) {
        bool ok = false;
        const double s = ocioso.toDouble(&ok);
        if (ok && std::isfinite(s) && s >= 1 && s <= 86400)
            c.tempoOcioso = s;
        else
            Anota(problema, QStringLiteral("Tempo Ocioso"), ocioso);
    }
    return c;
}

QString TextoDoEndereco(const QHostAddress& endereco) {
    return Normal(endereco).toString();
}

bool RedePermitida(const ConfiguracaoSNPP& configuracao, const QHostAddress& endereco) {
    const QHostAddress normal = Normal(endereco);
    for (const QPair<QHostAddress, int>& rede : configuracao.redes)
        if (normal.isInSubnet(rede))
            return true;
    return false;
}

ServidorSNPP::ServidorSNPP(Relogio& relogio, std::function<void(const QString&)> registra,
                           std::function<void()> acorda)
    : m_relogio(relogio), m_registra(std::move(registra)), m_acorda(std::move(acorda)), m_servidor(this),
      m_grupo(this) {
    connect(&m_servidor, &QTcpServer::newConnection, this, &ServidorSNPP::AoConectar);
}

ServidorSNPP::~ServidorSNPP() = default;

void ServidorSNPP::AtualizaSenhas() {
    if (!m_configuracao.exigirEntrada)
        return;
    const QDateTime modificado = QFileInfo(m_configuracao.arquivoDeSenhas).lastModified();
    if (m_senhas && modificado == m_senhasLidas)
        return;
    m_senhasLidas = modificado;
    SenhasSNPP lidas;
    QString erro;
    // A file that cannot be read lets nobody in rather than everybody.
    if (!lidas.Carrega(m_configuracao.arquivoDeSenhas, &erro))
        m_registra(erro + QStringLiteral(": ninguém entra no SNPP até que seja corrigido"));
    else if (lidas.Usuarios() == 0)
        m_registra(QStringLiteral("[SNPP] Exigir Entrada=Sim, mas %1 não tem usuários: crie um com "
                                  "bipvox-servidor --usuario-snpp NOME")
                       .arg(m_configuracao.arquivoDeSenhas));
    if (!m_senhas)
        m_senhas = std::make_unique<SenhasSNPP>();
    *m_senhas = lidas; // sessions already open keep their pointer
}

bool ServidorSNPP::Inicia(const ConfiguracaoSNPP& configuracao) {
    m_configuracao = configuracao;
    if (configuracao.porta == 0) {
        m_registra(QStringLiteral("SNPP desligado ([SNPP] Porta=0)"));
        return true;
    }
    if (!m_servidor.listen(configuracao.endereco, configuracao.porta)) {
        m_registra(QStringLiteral("não foi possível escutar SNPP em %1 porta %2: %3; a fila segue sem SNPP")
                       .arg(TextoDoEndereco(configuracao.endereco))
                       .arg(configuracao.porta)
                       .arg(m_servidor.errorString()));
        return false;
    }
    m_registra(QStringLiteral("SNPP em %1 porta %2%3")
                   .arg(TextoDoEndereco(configuracao.endereco))
                   .arg(Porta())
                   .arg(configuracao.exigirEntrada
                            ? QStringLiteral(", com entrada (senhas em %1)").arg(configuracao.arquivoDeSenhas)
                            : QString()));
    AtualizaSenhas();
    return true;
}

bool ServidorSNPP::Inicia() {
    QString problema;
    const ConfiguracaoSNPP configuracao = LeConfiguracaoSNPP(&problema);
    if (!problema.isEmpty())
        m_registra(problema);
    return Inicia(configuracao);
}

void ServidorSNPP::AoConectar() {
    while (QTcpSocket* socket = m_servidor.nextPendingConnection()) {
        const QString endereco = TextoDoEndereco(socket->peerAddress());
        if (!RedePermitida(m_configuracao, socket->peerAddress())) {
            m_registra(
                QStringLiteral("SNPP %1: conexão recusada: fora de [SNPP] Redes Permitidas").arg(endereco));
            Despede(socket, "421 Acesso negado a " + endereco.toUtf8() + "\r\n");
            continue;
        }
        if (m_conexoes >= m_configuracao.maximoDeConexoes) {
            m_registra(
                QStringLiteral("SNPP %1: conexão recusada: já há %2 conexões ([SNPP] Conexões Máximas)")
                    .arg(endereco)
                    .arg(m_conexoes));
            Despede(socket, QByteArray("421 Conexões demais; tente de novo mais tarde\r\n"));
            continue;
        }
        ++m_conexoes;
        AtualizaSenhas();
        auto* conexao =
            new ConexaoSNPP(socket, m_relogio, endereco, m_configuracao.tempoOcioso, m_senhas.get(), this);
        conexao->Sessao().falhasAnteriores = m_falhasDeEntrada.value(endereco);
        conexao->Sessao().aoEntrar = [this, endereco](bool entrou) {
            if (entrou) {
                m_falhasDeEntrada.remove(endereco);
                return;
            }
            if (m_falhasDeEntrada.size() > 10000) // a spread-out attack is not worth unbounded memory
                m_falhasDeEntrada.clear();
            ++m_falhasDeEntrada[endereco];
        };
        connect(conexao, &QObject::destroyed, this, [this] { --m_conexoes; });
        conexao->Sessao().registra = m_registra;
        // A page queued during a call goes in that call.
        conexao->Sessao().aoEnfileirar = [this](const QVector<qint64>&) { m_acorda(); };
        conexao->Sessao().gravaJunto = [this,
                                        c = QPointer<ConexaoSNPP>(conexao)](const Fila::PedidoDaFila& p) {
            m_grupo.Pede(p, [c](const Fila::PedidoDaFila& feito) {
                if (c) // a client gone meanwhile still has its pages queued, as if it had waited
                    c->Gravada(feito);
            });
        };
    }
}

int GravaUsuarioSNPP(const QString& usuario, std::FILE* entrada) {
    const ConfiguracaoSNPP configuracao = LeConfiguracaoSNPP();
    const bool terminal = ::isatty(::fileno(entrada)) == 1;
    termios antes{};
    if (terminal) {
        std::fprintf(stderr, "Senha SNPP de %s: ", qPrintable(usuario));
        std::fflush(stderr);
        ::tcgetattr(::fileno(entrada), &antes);
        termios semEco = antes;
        semEco.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(::fileno(entrada), TCSANOW, &semEco);
    }
    char linha[1024] = {};
    const bool lida = std::fgets(linha, sizeof linha, entrada) != nullptr;
    if (terminal) {
        ::tcsetattr(::fileno(entrada), TCSANOW, &antes);
        std::fputc('\n', stderr);
    }
    QString senha = QString::fromUtf8(linha);
    while (senha.endsWith(QLatin1Char('\n')) || senha.endsWith(QLatin1Char('\r')))
        senha.chop(1);
    QString erro;
    if (!lida || !SenhasSNPP::Grava(configuracao.arquivoDeSenhas, usuario, senha, erro)) {
        std::fprintf(stderr, "bipvox-servidor: %s\n",
                     qPrintable(lida ? erro : QStringLiteral("nenhuma senha lida")));
        return 3;
    }
    std::fprintf(stderr, "usuário SNPP %s gravado em %s\n", qPrintable(usuario),
                 qPrintable(configuracao.arquivoDeSenhas));
    return 0;
}

LinhaSNPP::LinhaSNPP(std::function<void(const QString&)> registra, std::function<void()> acorda) {
    m_linha.setObjectName(QStringLiteral("SNPP"));
    auto* servidor = new ServidorSNPP(m_relogio, std::move(registra), std::move(acorda));
    servidor->moveToThread(&m_linha);
    // Runs in the SNPP thread as it ends: its sockets and its database connection go with it.
    QObject::connect(
        &m_linha, &QThread::finished, servidor,
        [servidor] {
            delete servidor;
            FechaBancoDeDados();
        },
        Qt::DirectConnection);
    m_linha.start();
    QMetaObject::invokeMethod(
        servidor, [servidor] { servidor->Inicia(); }, Qt::QueuedConnection);
}

LinhaSNPP::~LinhaSNPP() {
    m_linha.quit();
    m_linha.wait();
}
