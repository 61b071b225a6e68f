// The real serial code against bipvox-simulador through a pseudo-terminal, in real time: what
// the virtual-time tests cannot show (termios settings, pty reads, the real waits) meets a
// modem and paging terminal that decode what actually went down the line.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "OperadorGravado.h"
#include "SimuladorExterno.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "modem/ComandosModem.h"
#include "modem/Discagem.h"
#include "modem/PortaSerialQt.h"
#include "settings/PerfilINI.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"
#include "tap/LogOn.h"

#include <QJsonObject>
#include <QtTest>

namespace {

class PedidoDoTeste : public PedidoDeEnvio {
public:
    bool usuario = true;
    QString mensagem;
    int esvaziadas = 0;

    bool DestinoEhUsuario() const override { return usuario; }
    int IndiceDaLista() const override { return 0; }
    QString TextoDaMensagem() const override { return mensagem; }
    void EsvaziaMensagem() override {
        ++esvaziadas;
        mensagem.clear();
    }
};

class PainelDoTeste : public PainelDeEnvio {
public:
    QStringList titulos;
    QVector<int> valores;
    int maximo = -1;

    void Titulo(const QString& texto) override { titulos << texto; }
    void MedidorMaximo(int m) override { maximo = m; }
    void MedidorValor(int v) override { valores << v; }
    void MedidorVisivel(bool) override {}
};

struct LinhaDoLog {
    QString usuario;
    QString mensagem;
    QString pager;
};

QVector<LinhaDoLog> LeLog() {
    QVector<LinhaDoLog> linhas;
    Snapshot s(QStringLiteral("Select Usuario, Mensagem, ID_Pager From Log"));
    for (; s.Valido() && !s.Eof(); s.MoveNext())
        linhas.append({s.Campo(QStringLiteral("Usuario")).toString(),
                       s.Campo(QStringLiteral("Mensagem")).toString(),
                       s.Campo(QStringLiteral("ID_Pager")).toString()});
    return linhas;
}

} // namespace

class tst_PontaAPonta : public QObject {
    Q_OBJECT

    // Each case gets its own settings, database and simulator.
    std::unique_ptr<AmbienteDeTeste> m_ambiente;
    std::unique_ptr<SimuladorExterno> m_simulador;
    qint16 m_portaAnterior = 0;
    bool m_envioAnterior = false;
    qint32 m_codigoAnterior = 0;

    // Starts the simulator with the scenario and points COM1 at its pseudo-terminal.
    bool Prepara(const QStringList& cenario) {
        m_ambiente = std::make_unique<AmbienteDeTeste>();
        if (!m_ambiente->AbreBancoVazio())
            return false;
        m_simulador = std::make_unique<SimuladorExterno>();
        QString erro;
        if (!m_simulador->Inicia(cenario + QStringList{QStringLiteral("--silencioso"),
                                                       QStringLiteral("--atraso-discagem=0.3"),
                                                       QStringLiteral("--guarda-escape=0.2")},
                                 &erro)) {
            qWarning() << erro;
            return false;
        }
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), m_simulador->Dispositivo());
        Modulo::PortaModem = 1;
        return true;
    }

    // Opens and resets the modem as the program does at start-up.
    static bool AbreModem(Contexto& ctx) {
        if (!ConfiguraPorta(ctx))
            return false;
        InicializaModem(ctx);
        return true;
    }

private slots:
    void init() {
        m_portaAnterior = Modulo::PortaModem;
        m_envioAnterior = Modulo::EnvioIniciado;
        m_codigoAnterior = Modulo::CodigosDaLista.value(1);
    }
    void cleanup() {
        if (m_simulador)
            m_simulador->Para();
        m_simulador.reset();
        m_ambiente.reset();
        Modulo::PortaModem = m_portaAnterior;
        Modulo::EnvioIniciado = m_envioAnterior;
        if (Modulo::CodigosDaLista.size() > 1)
            Modulo::CodigosDaLista[1] = m_codigoAnterior;
    }

    void discaEntraEDesliga() {
        QVERIFY(Prepara({}));
        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};

        QVERIFY2(AbreModem(ctx), qPrintable(porta.UltimoErro()));
        QVERIFY(operador.caixas.isEmpty());
        QVERIFY(DiscaOperadora(ctx));
        QVERIFY(AguardaIDeInicializaModoAutomatico(ctx));
        DesconectaModem(ctx);

        QCOMPARE(operador.status.last(), QStringLiteral(" Pronto"));
        QVERIFY2(operador.caixas.isEmpty(), qPrintable(operador.TextosDasCaixas().join(QLatin1Char('|'))));
        QVERIFY(porta.PortOpen());
        QVERIFY(m_simulador->Paginas().isEmpty());
    }

    void enviaParaUmUsuario() {
        QVERIFY(Prepara({}));
        const QString nome = QStringLiteral("Ana O'Neil");
        const qint32 id = CadastraUsuario(nome, QStringLiteral("1234567"));
        QVERIFY(id > 0);
        Modulo::CodigosDaLista[1] = id;

        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        QVERIFY2(AbreModem(ctx), qPrintable(porta.UltimoErro()));

        // A trailing blank is trimmed from the page but kept in the history.
        const QString texto = QStringLiteral("Reunião às 15h \"urgente\"");
        PedidoDoTeste pedido;
        pedido.mensagem = texto + QLatin1Char(' ');
        PainelDoTeste painel;
        IniciaProcesso(ctx, pedido, painel);

        QVERIFY2(operador.caixas.isEmpty(), qPrintable(operador.TextosDasCaixas().join(QLatin1Char('|'))));
        const QList<QJsonObject> paginas = m_simulador->Paginas();
        QCOMPARE(paginas.size(), 1);
        QCOMPARE(paginas[0].value(QStringLiteral("codigo")).toString(), QStringLiteral("1234567"));
        QCOMPARE(paginas[0].value(QStringLiteral("mensagem")).toString(), texto);
        QVERIFY(paginas[0].value(QStringLiteral("somaConfere")).toBool());

        const QVector<LinhaDoLog> log = LeLog();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].usuario, nome.leftJustified(50, QLatin1Char(' ')));
        QCOMPARE(log[0].mensagem, texto + QLatin1Char(' '));
        QCOMPARE(log[0].pager, QStringLiteral("1234567"));

        QCOMPARE(pedido.esvaziadas, 1);
        QVERIFY(Modulo::EnvioIniciado);
        // Closed and reopened after the hang-up, so the modem starts the next send afresh.
        QVERIFY(operador.status.contains(QStringLiteral(" Mensagem enviada com sucesso.")));
        QCOMPARE(operador.status.last(), QStringLiteral(" Re-inicializando o modem, aguarde ..."));
        QVERIFY(porta.PortOpen());
    }

    void grupoComUmCodigoRecusado() {
        QVERIFY(Prepara({QStringLiteral("--recusar=2222")}));
        const qint32 a = CadastraUsuario(QStringLiteral("Alberto"), QStringLiteral("1111"));
        const qint32 b = CadastraUsuario(QStringLiteral("Beatriz"), QStringLiteral("2222"));
        const qint32 c = CadastraUsuario(QStringLiteral("Carlos"), QStringLiteral("3333"));
        const qint32 grupo = CadastraGrupo(QStringLiteral("Plantão"), {a, b, c});
        QVERIFY(a > 0 && b > 0 && c > 0 && grupo > 0);
        Modulo::CodigosDaLista[1] = grupo;

        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        QVERIFY2(AbreModem(ctx), qPrintable(porta.UltimoErro()));

        PedidoDoTeste pedido;
        pedido.usuario = false;
        pedido.mensagem = QStringLiteral("Teste de grupo");
        PainelDoTeste painel;
        IniciaProcesso(ctx, pedido, painel);

        const QList<QJsonObject> paginas = m_simulador->Paginas();
        QCOMPARE(paginas.size(), 3);
        QStringList codigos;
        for (const QJsonObject& p : paginas) {
            codigos << p.value(QStringLiteral("codigo")).toString();
            QVERIFY(p.value(QStringLiteral("somaConfere")).toBool());
        }
        QCOMPARE(codigos,
                 (QStringList{QStringLiteral("1111"), QStringLiteral("2222"), QStringLiteral("3333")}));

        QCOMPARE(LeLog().size(), 3);
        QCOMPARE(operador.caixas.size(), 1);
        QCOMPARE(operador.caixas[0].titulo, QStringLiteral("Erro(s):"));
        QVERIFY(operador.caixas[0].texto.contains(
            QStringLiteral("pager de Beatriz. Problemas com o código 2222")));
        QVERIFY(!operador.caixas[0].texto.contains(QStringLiteral("Alberto")));
        QCOMPARE(painel.maximo, 3);
        QCOMPARE(painel.valores, (QVector<int>{0, 1, 2, 3}));
        QCOMPARE(pedido.esvaziadas, 1);
        QVERIFY(porta.PortOpen());
    }

    void linhaOcupada() {
        QVERIFY(Prepara({QStringLiteral("--discagem=ocupado")}));
        const qint32 id = CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("1234567"));
        QVERIFY(id > 0);
        Modulo::CodigosDaLista[1] = id;

        RelogioReal relogio;
        PortaSerialQt porta(relogio);
        OperadorGravado operador;
        Contexto ctx{relogio, porta, operador};
        QVERIFY2(AbreModem(ctx), qPrintable(porta.UltimoErro()));

        PedidoDoTeste pedido;
        pedido.mensagem = QStringLiteral("Olá");
        PainelDoTeste painel;
        IniciaProcesso(ctx, pedido, painel);

        QCOMPARE(operador.TextosDasCaixas(),
                 QStringList{
                     QStringLiteral("O telefone chamado está com sinal de linha ocupada, tente novamente.")});
        QVERIFY(m_simulador->Paginas().isEmpty());
        QVERIFY(LeLog().isEmpty());
        QCOMPARE(pedido.esvaziadas, 0);
        QCOMPARE(pedido.mensagem, QStringLiteral("Olá"));
        QVERIFY(porta.PortOpen());
    }
};

QTEST_GUILESS_MAIN(tst_PontaAPonta)
#include "tst_PontaAPonta.moc"
