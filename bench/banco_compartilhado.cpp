// The store several desks share, on a Pager.Mdb file and on a PostgreSQL server side by side: the
// 50 000 users the composition window lists (read its way) and the history rows of 4 desks
// sending at once, each a process of its own writing a row after each page.
//   bench_banco_compartilhado [--postgresql="host=H port=N user=U"]   (or BIPVOX_PG_TESTE)
// The benchmark makes a database of its own on the server (the line's dbname, default postgres,
// is only where it connects to make it) and drops it at the end; without a server only the file's
// figures are printed. A server for figures should flush its commits (scripts/postgresql.sh
// iniciar PASTA --duravel), as a site's does.
#include "ApoioDoBench.h"
#include "compose/Destinatarios.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Esquema.h"
#include "store/PostgreSQL.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int Usuarios = 50000;
constexpr int Leituras = 20;
constexpr int Mesas = 4;
constexpr int PaginasPorMesa = 250;

// One engine's store: a file, or a database on a server.
struct Destino {
    const char* motor;
    QString arquivo;
    std::optional<ConexaoPostgreSQL> servidor;

    bool Abre(QString* erro) const {
        if (servidor)
            return AbreBancoPostgreSQL(*servidor, erro);
        const QFileInfo info(arquivo);
        return AbreBancoDeDados(info.fileName(), info.path(), erro);
    }
    QString Opcao() const {
        return servidor ? QStringLiteral("--postgresql=") + servidor->Texto()
                        : QStringLiteral("--arquivo=") + arquivo;
    }
};

bool Preenche() {
    QRandomGenerator gerador(1998);
    QSqlDatabase banco = BancoDeDados();
    QSqlQuery insere(banco);
    if (!banco.transaction() ||
        !insere.prepare(QStringLiteral(
            "Insert Into Usuarios (Descricao, ID_Pager, Data_Cadastro, Nome_Usuario) Values (?, ?, ?, ?)")))
        return false;
    for (int i = 1; i <= Usuarios; ++i) {
        insere.bindValue(0, QStringLiteral("Técnico de campo"));
        insere.bindValue(1, QString::number(1000000 + i));
        insere.bindValue(2, QStringLiteral("03/12/1998"));
        insere.bindValue(3, NomeAleatorio(gerador));
        if (!insere.exec())
            return false;
    }
    return banco.commit();
}

// The users' list exactly as the composition window reads it when it opens.
void MedeLista(const Destino& destino) {
    std::vector<double> tempos;
    std::vector<double> cpu;
    qsizetype linhas = 0;
    for (int i = 0; i < Leituras; ++i) {
        const double cpuAntes = RelogioDe(CLOCK_PROCESS_CPUTIME_ID);
        QElapsedTimer cronometro;
        cronometro.start();
        const ListaDeNomes lista = LeDestinatarios(TipoDeDestinatario::Usuario);
        tempos.push_back(double(cronometro.nsecsElapsed()) / 1e6);
        cpu.push_back((RelogioDe(CLOCK_PROCESS_CPUTIME_ID) - cpuAntes) * 1e3);
        linhas = lista.erro.isEmpty() ? lista.nomes.size() : -1;
    }
    std::printf("%-10s lista de usuários (LeDestinatarios): %lld nomes  mediana %6.1f ms  p95 %6.1f ms  "
                "CPU %6.1f ms  (meta < 100 ms)\n",
                destino.motor, static_cast<long long>(linhas), Percentil(tempos, 0.5),
                Percentil(tempos, 0.95), Percentil(cpu, 0.5));
    if (!destino.servidor)
        return;
    // The server's own share: running the statement, without sending the rows.
    std::vector<double> servidor;
    QSqlQuery plano(BancoDeDados());
    for (int i = 0; i < Leituras; ++i)
        if (plano.exec(QStringLiteral("Explain (Analyze, Timing Off) ") + Consultas::IdsENomesDosUsuarios))
            while (plano.next())
                if (plano.value(0).toString().startsWith(QLatin1String("Execution Time: ")))
                    servidor.push_back(plano.value(0).toString().section(QLatin1Char(' '), 2, 2).toDouble());
    std::printf("%-10s   dos quais o servidor executando a consulta (Explain Analyze): mediana %6.1f ms\n",
                destino.motor, Percentil(servidor, 0.5));
}

// One desk: opens the store, says so, waits for the go on its input, then writes its pages'
// rows as a send does and prints each row's time in ms and the rows it could not write.
int Mesa(const Destino& destino, int mesa) {
    QString erro;
    if (!destino.Abre(&erro)) {
        std::printf("erro %s\n", qPrintable(erro));
        return 1;
    }
    std::printf("pronta\n");
    std::fflush(stdout);
    char linha[8];
    if (!std::fgets(linha, sizeof linha, stdin))
        return 1;
    int falhas = 0;
    QString tempos;
    for (int i = 1; i <= PaginasPorMesa; ++i) {
        QElapsedTimer cronometro;
        cronometro.start();
        if (!GravaLog(QStringLiteral("20261206"), QStringLiteral("22:15"), QStringLiteral("Zé Façanha"),
                      QStringLiteral("Mesa %1, página %2").arg(mesa).arg(i), QStringLiteral("1000001"), 1,
                      false, {}, QStringLiteral("janela"), &erro)) {
            ++falhas;
            std::fprintf(stderr, "mesa %d: %s\n", mesa, qPrintable(erro));
        }
        tempos += QString::number(double(cronometro.nsecsElapsed()) / 1e6, 'f', 3) + QLatin1Char(' ');
    }
    ConsolidaBancoDeDados();
    std::printf("falhas %d\n%s\n", falhas, qPrintable(tempos));
    return 0;
}

void MedeMesas(const Destino& destino) {
    std::vector<std::unique_ptr<QProcess>> mesas;
    for (int m = 1; m <= Mesas; ++m) {
        auto& processo = mesas.emplace_back(std::make_unique<QProcess>());
        processo->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processo->start(QCoreApplication::applicationFilePath(),
                        {destino.Opcao(), QStringLiteral("--mesa=%1").arg(m)});
    }
    for (auto& processo : mesas)
        if (!processo->waitForReadyRead(30000) || processo->readLine().trimmed() != "pronta") {
            std::printf("%-10s uma mesa não abriu o banco\n", destino.motor);
            return;
        }
    QElapsedTimer cronometro;
    cronometro.start();
    for (auto& processo : mesas)
        processo->write("\n");
    std::vector<double> tempos;
    int falhas = 0;
    for (auto& processo : mesas) {
        processo->waitForFinished(600000);
        const QList<QByteArray> saida = processo->readAllStandardOutput().split('\n');
        falhas += saida.value(0).startsWith("falhas ") ? saida[0].mid(7).toInt() : PaginasPorMesa;
        for (const QByteArray& tempo : saida.value(1).split(' '))
            if (!tempo.isEmpty())
                tempos.push_back(tempo.toDouble());
    }
    const double total = double(cronometro.nsecsElapsed()) / 1e6;
    // Every page once, each row with a counter of its own.
    QSqlQuery conta(BancoDeDados());
    const bool lido = conta.exec(QStringLiteral(
                          "Select count(*), count(Distinct Mensagem), count(Distinct rowid) From Log")) &&
                      conta.next();
    std::printf("%-10s %d mesas x %d páginas no histórico: total %6.0f ms  por linha mediana %5.2f ms  "
                "p99 %6.2f ms  falhas %d\n",
                destino.motor, Mesas, PaginasPorMesa, total, Percentil(tempos, 0.5), Percentil(tempos, 0.99),
                falhas);
    std::printf("%-10s linhas %d, páginas distintas %d, contadores distintos %d (esperado %d de cada)%s\n",
                destino.motor, lido ? conta.value(0).toInt() : -1, lido ? conta.value(1).toInt() : -1,
                lido ? conta.value(2).toInt() : -1, Mesas * PaginasPorMesa,
                lido && conta.value(0).toInt() == Mesas * PaginasPorMesa &&
                        conta.value(1).toInt() == Mesas * PaginasPorMesa &&
                        conta.value(2).toInt() == Mesas * PaginasPorMesa
                    ? ""
                    : "  ERRADO");
}

bool Mede(const Destino& destino) {
    QString erro;
    if (!destino.Abre(&erro)) {
        std::fprintf(stderr, "%s: %s\n", destino.motor, qPrintable(erro));
        return false;
    }
    QElapsedTimer cronometro;
    cronometro.start();
    if (!Preenche()) {
        std::fprintf(stderr, "%s: não foi possível gravar o cadastro: %s\n", destino.motor,
                     qPrintable(BancoDeDados().lastError().text()));
        return false;
    }
    std::printf("%-10s %d usuários gravados em %.0f ms\n", destino.motor, Usuarios,
                double(cronometro.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
    MedeLista(destino);
    MedeMesas(destino);
    std::fflush(stdout);
    FechaBancoDeDados();
    return true;
}

// Runs sql on the database the line names (postgres when it names none).
bool Administra(const ConexaoPostgreSQL& servidor, const QString& sql, QString* erro) {
    bool ok = false;
    {
        QSqlDatabase banco = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bancada"));
        banco.setHostName(servidor.servidor);
        banco.setPort(servidor.porta);
        banco.setUserName(servidor.usuario);
        banco.setDatabaseName(servidor.banco);
        QSqlQuery comando(banco);
        ok = banco.open() && comando.exec(sql);
        if (!ok)
            *erro = (banco.isOpen() ? comando.lastError() : banco.lastError()).text();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bancada"));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    const QStringList args = aplicacao.arguments();
    QString linha = qEnvironmentVariable("BIPVOX_PG_TESTE");
    Destino arquivo{"SQLite", {}, {}};
    for (const QString& a : args) {
        if (a.startsWith(QLatin1String("--postgresql=")))
            linha = a.mid(13);
        if (a.startsWith(QLatin1String("--arquivo=")))
            arquivo.arquivo = a.mid(10);
    }
    QString erro;
    std::optional<ConexaoPostgreSQL> servidor;
    if (!linha.isEmpty() && !(servidor = ConexaoPostgreSQL::DoTexto(linha, &erro))) {
        std::fprintf(stderr, "banco_compartilhado: --postgresql: %s\n", qPrintable(erro));
        return 2;
    }
    if (const int mesa = Opcao(args, QStringLiteral("--mesa"), 0))
        return Mesa(servidor && arquivo.arquivo.isEmpty() ? Destino{"PostgreSQL", {}, servidor} : arquivo,
                    mesa);

    // The server's database first, so a server that cannot be used is known before the file's run.
    std::optional<Destino> remoto;
    if (servidor) {
        if (!linha.contains(QLatin1String("dbname=")))
            servidor->banco = QStringLiteral("postgres");
        remoto = Destino{"PostgreSQL", {}, servidor};
        remoto->servidor->banco = QStringLiteral("bipvox_bancada_%1").arg(QCoreApplication::applicationPid());
        if (!Administra(*servidor, QStringLiteral("Create Database %1").arg(remoto->servidor->banco),
                        &erro)) {
            std::fprintf(stderr, "banco_compartilhado: %s\n", qPrintable(erro));
            return 1;
        }
    }
    QTemporaryDir pasta;
    qputenv("XDG_CONFIG_HOME", pasta.path().toLocal8Bit());
    arquivo.arquivo = pasta.filePath(QStringLiteral("Pager.Mdb"));
    bool medido = CriaBancoVazio(arquivo.arquivo, &erro) && Mede(arquivo);
    if (!remoto)
        std::printf(
            "PostgreSQL: sem servidor (--postgresql=\"host=... port=... user=...\" ou BIPVOX_PG_TESTE)\n");
    else if (!CriaEsquemaPostgreSQL(*remoto->servidor, &erro))
        medido = false;
    else
        medido = Mede(*remoto) && medido;
    if (!erro.isEmpty())
        std::fprintf(stderr, "banco_compartilhado: %s\n", qPrintable(erro));
    if (remoto &&
        !Administra(*servidor, QStringLiteral("Drop Database %1 With (Force)").arg(remoto->servidor->banco),
                    &erro))
        std::fprintf(stderr, "banco_compartilhado: o banco %s ficou no servidor: %s\n",
                     qPrintable(remoto->servidor->banco), qPrintable(erro));
    return medido ? 0 : 1;
}
