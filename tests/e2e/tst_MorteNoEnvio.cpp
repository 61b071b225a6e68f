// A group send killed midway (SIGKILL) against bipvox-simulador: every page the terminal
// accepted has its history row afterwards, and the database is intact. The test runs its own
// executable as the sending program (on a clock five times faster), so the kill hits a real
// process holding the database.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "EnvioDeTeste.h"
#include "OperadorGravado.h"
#include "RelogioAcelerado.h"
#include "SimuladorExterno.h"
#include "common/Modulo.h"
#include "modem/ComandosModem.h"
#include "modem/PortaSerialQt.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "store/Snapshot.h"
#include "tap/Envio.h"

#include <QtTest>

#include <csignal>

namespace {

const QString kEnviaGrupo = QStringLiteral("--envia-grupo");

// The sending program: the database folder and the group's identifier; COM1 comes from the INI.
int EnviaGrupo(const QString& pasta, qint32 grupo) {
    if (!AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta))
        return 2;
    Modulo::PortaModem = 1;
    Modulo::CodigosDaLista[1] = grupo;
    RelogioAcelerado relogio(5);
    PortaSerialQt porta(relogio);
    OperadorGravado operador;
    Contexto ctx{relogio, porta, operador};
    if (!ConfiguraPorta(ctx))
        return 3;
    InicializaModem(ctx);
    PedidoDeTeste pedido;
    pedido.porUsuario = false;
    PainelDeTeste painel;
    IniciaProcesso(ctx, pedido, painel);
    return 0;
}

QStringList CodigosNoLog() {
    QStringList codigos;
    Snapshot log(QStringLiteral("Select ID_Pager From Log Order By rowid"));
    for (; log.Valido() && !log.Eof(); log.MoveNext())
        codigos << log.Campo(QStringLiteral("ID_Pager")).toString();
    return codigos;
}

} // namespace

class tst_MorteNoEnvio : public QObject {
    Q_OBJECT

private slots:
    void logSobreviveAoKill() {
        constexpr int paginasAntes = 12;
        constexpr int membros = 30;
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio());
        QVector<qint32> ids;
        for (int i = 1; i <= membros; ++i)
            ids << CadastraUsuario(QStringLiteral("Membro %1").arg(i), QString::number(7000 + i));
        const qint32 grupo = CadastraGrupo(QStringLiteral("Brigada"), ids);
        QVERIFY(grupo > 0);
        FechaBancoDeDados();

        SimuladorExterno simulador;
        QString erro;
        QVERIFY2(
            simulador.Inicia({QStringLiteral("--silencioso"), QStringLiteral("--ritmo"),
                              QStringLiteral("--atraso-discagem=0.1"), QStringLiteral("--guarda-escape=0.1")},
                             &erro),
            qPrintable(erro));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"), simulador.Dispositivo());

        QProcess programa;
        programa.start(QCoreApplication::applicationFilePath(),
                       {kEnviaGrupo, ambiente.Diretorio(), QString::number(grupo)});
        QVERIFY(programa.waitForStarted(5000));
        QDeadlineTimer prazo(30000);
        while (simulador.Paginas().size() < paginasAntes && !prazo.hasExpired() &&
               programa.state() == QProcess::Running)
            QTest::qWait(2);
        QVERIFY2(programa.state() == QProcess::Running, "the send ended before the kill");
        ::kill(pid_t(programa.processId()), SIGKILL);
        QVERIFY(programa.waitForFinished(5000));
        simulador.Para();

        QStringList aceitas;
        for (const QJsonObject& p : simulador.Paginas())
            if (p.value(QStringLiteral("veredito")).toString() == QLatin1String("aceita"))
                aceitas << p.value(QStringLiteral("codigo")).toString();
        QVERIFY(aceitas.size() >= paginasAntes && aceitas.size() < membros);

        QVERIFY2(AbreBancoDeDados(QStringLiteral("Pager.Mdb"), ambiente.Diretorio()),
                 "refused after the kill");
        Snapshot integridade(QStringLiteral("PRAGMA integrity_check"));
        QCOMPARE(integridade.Campo(QStringLiteral("integrity_check")).toString(), QStringLiteral("ok"));
        // A page whose successor reached the terminal was recorded before that block left; only the
        // last accepted page may have been taken with its row not yet written.
        const QStringList log = CodigosNoLog();
        QVERIFY2(log == aceitas || log == aceitas.mid(0, aceitas.size() - 1),
                 qPrintable(QStringLiteral("log %1 / aceitas %2").arg(log.join(','), aceitas.join(','))));
    }
};

int main(int argc, char* argv[]) {
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == kEnviaGrupo) {
        QCoreApplication aplicacao(argc, argv);
        return EnviaGrupo(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]).toInt());
    }
    QCoreApplication aplicacao(argc, argv);
    tst_MorteNoEnvio teste;
    return QTest::qExec(&teste, argc, argv);
}
#include "tst_MorteNoEnvio.moc"
