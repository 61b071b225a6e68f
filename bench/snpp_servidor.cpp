// The SNPP gateway under load: 50 clients at once, each sending 20 pages (PAGE, MESS, SEND) over
// its own connection to bipvox-servidor, which delivers them to bipvox-simulador. It prints
//   - the time from SEND to the 250 reply (the pages are on disk), median and 99th percentile;
//   - whether every page reached the terminal exactly once and has its Log row;
//   - the service's resident memory before and with 1000 idle connections open.
// Options: --clientes=50 --paginas=20 --ociosas=1000 --usuarios=0. With --usuarios=N the directory
// holds N users (at least one per page, with the pages' codes) and every other PAGE names its user
// instead of giving the code, as a site's monitoring does.
#include "ApoioDoBench.h"
#include "CenaDoServico.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

int Conecta(quint16 porta) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(porta);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (s < 0 || ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        if (s >= 0)
            ::close(s);
        return -1;
    }
    return s;
}

// One reply line (blocking); empty when the connection ended.
std::string LinhaDeResposta(int s) {
    std::string linha;
    char c = 0;
    while (::read(s, &c, 1) == 1) {
        linha += c;
        if (c == '\n')
            return linha;
    }
    return {};
}

bool Comando(int s, const std::string& linha, const char* codigo) {
    const std::string envio = linha + "\r\n";
    return ::write(s, envio.data(), envio.size()) == ssize_t(envio.size()) &&
           LinhaDeResposta(s).rfind(codigo, 0) == 0;
}

// The user who carries pager codigo: one name each, accents included.
std::string NomeDoPlantonista(const std::string& codigo) {
    return "Plantonista Conceição " + codigo;
}

// The pages' users, then others with random names and codes no client sends.
bool PreencheCadastro(const QString& arquivo, int usuarios, int paginas) {
    if (!AbreBancoDeDados(QStringLiteral("Pager.Mdb"), QFileInfo(arquivo).path()))
        return false;
    QRandomGenerator gerador(1998);
    QSqlDatabase banco = BancoDeDados();
    QSqlQuery insere(banco);
    bool ok = banco.transaction() &&
              insere.prepare(QStringLiteral("Insert Into Usuarios (Descricao, ID_Pager, Data_Cadastro, "
                                            "Nome_Usuario) Values ('-', ?, '07/12/2026', ?)"));
    for (int i = 0; ok && i < usuarios; ++i) {
        const std::string codigo = std::to_string(100000 + i);
        insere.bindValue(0, i < paginas ? QString::fromStdString(codigo) : QString::number(9000000 + i));
        insere.bindValue(1, i < paginas ? QString::fromStdString(NomeDoPlantonista(codigo))
                                        : NomeAleatorio(gerador));
        ok = insere.exec();
    }
    ok = ok && banco.commit();
    FechaBancoDeDados();
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    const int clientes = Opcao(aplicacao.arguments(), QStringLiteral("--clientes"), 50);
    const int porCliente = Opcao(aplicacao.arguments(), QStringLiteral("--paginas"), 20);
    const int ociosas = Opcao(aplicacao.arguments(), QStringLiteral("--ociosas"), 1000);
    const int total = clientes * porCliente;
    const int usuarios = Opcao(aplicacao.arguments(), QStringLiteral("--usuarios"), 0);
    const bool porNome = usuarios > 0;
    // The idle connections need a descriptor each, here and in the service.
    rlimit limite{};
    getrlimit(RLIMIT_NOFILE, &limite);
    limite.rlim_cur = limite.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limite);

    CenaDoServico cena;
    if (!cena.Prepara({"--silencioso", "--atraso-discagem=0.1", "--guarda-escape=0.05"}))
        return 1;
    const QTemporaryDir& pasta = cena.pasta;
    const QString& banco = cena.banco;
    if (porNome && !PreencheCadastro(banco, std::max(usuarios, total), total))
        return 1;
    QProcess& simulador = cena.simulador;
    QTcpServer livre;
    livre.listen(QHostAddress::LocalHost);
    const quint16 porta = livre.serverPort();
    livre.close();
    GravaINI(QStringLiteral("SNPP"), QStringLiteral("Porta"), QString::number(porta));
    GravaINI(QStringLiteral("SNPP"), QStringLiteral("Conexões Máximas"), QString::number(ociosas + clientes));
    GravaINI(QStringLiteral("SNPP"), QStringLiteral("Tempo Ocioso"), QStringLiteral("600"));

    // The service's log goes to a file: a pipe nobody reads would stop it once full.
    QProcess servidor;
    const QString registro = pasta.filePath(QStringLiteral("registro.txt"));
    servidor.setStandardErrorFile(registro);
    servidor.start(QStringLiteral(BIPVOX_SERVIDOR), {"--banco", banco});
    QFile log(registro);
    for (int espera = 0;
         espera < 100 && !(log.open(QIODevice::ReadOnly) && log.readAll().contains("SNPP em")); ++espera) {
        log.close();
        QThread::msleep(100);
    }

    std::mutex trava;
    std::vector<double> latencias;
    int falhas = 0;
    std::vector<std::thread> threads;
    for (int c = 0; c < clientes; ++c)
        threads.emplace_back([&, c] {
            const int s = Conecta(porta);
            bool ok = s >= 0 && LinhaDeResposta(s).rfind("220", 0) == 0;
            for (int i = 0; ok && i < porCliente; ++i) {
                const std::string codigo = std::to_string(100000 + c * porCliente + i);
                const std::string destino = porNome && i % 2 == 0 ? NomeDoPlantonista(codigo) : codigo;
                ok = Comando(s, "PAGE " + destino, "250") && Comando(s, "MESS Alarme " + codigo, "250");
                const auto antes = std::chrono::steady_clock::now();
                ok = ok && Comando(s, "SEND", "250");
                const std::chrono::duration<double> d = std::chrono::steady_clock::now() - antes;
                const std::lock_guard<std::mutex> l(trava);
                latencias.push_back(d.count());
            }
            ok = ok && Comando(s, "QUIT", "221");
            const std::lock_guard<std::mutex> l(trava);
            falhas += ok ? 0 : 1;
            if (s >= 0)
                ::close(s);
        });
    for (std::thread& t : threads)
        t.join();

    AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path());
    const auto linhas = [] {
        return Snapshot(QStringLiteral("Select Count(*) As N From Log")).Campo("N").toInt();
    };
    for (int espera = 0; linhas() < total && espera < 1500; ++espera)
        QThread::msleep(200);
    QThread::msleep(500);
    const int noLog = linhas();

    const long memoriaAntes = MemoriaDe(QString::number(servidor.processId()));
    std::vector<int> abertas;
    for (int i = 0; i < ociosas; ++i) {
        const int s = Conecta(porta);
        if (s >= 0 && LinhaDeResposta(s).rfind("220", 0) == 0)
            abertas.push_back(s);
        else if (s >= 0)
            ::close(s);
    }
    QThread::msleep(500);
    const long memoriaOciosas = MemoriaDe(QString::number(servidor.processId()));
    for (const int s : abertas)
        ::close(s);
    servidor.terminate();
    servidor.waitForFinished(30000);
    simulador.terminate();
    simulador.waitForFinished(5000);

    QFile arquivo(cena.transcricao);
    arquivo.open(QIODevice::ReadOnly);
    QSet<QString> codigos;
    int paginas = 0;
    while (!arquivo.atEnd()) {
        const QJsonObject r = QJsonDocument::fromJson(arquivo.readLine()).object();
        if (r.value("tipo").toString() == QLatin1String("pagina")) {
            ++paginas;
            codigos.insert(r.value("codigo").toString());
        }
    }
    std::printf("SNPP: %d clientes ao mesmo tempo, %d páginas cada (%d páginas)%s\n", clientes, porCliente,
                total,
                porNome ? qPrintable(QStringLiteral("; %1 usuários no cadastro, metade das páginas pelo nome")
                                         .arg(std::max(usuarios, total)))
                        : "");
    std::printf("  SEND até o 250: mediana %.1f ms, p99 %.1f ms (%zu medidas, %d clientes com falha)\n",
                Percentil(latencias, 0.5) * 1e3, Percentil(latencias, 0.99) * 1e3, latencias.size(), falhas);
    std::printf("  entregues uma vez: %s (%d na central, %d códigos distintos, %d linhas no Log)\n",
                paginas == total && codigos.size() == total && noLog == total ? "sim" : "NÃO", paginas,
                int(codigos.size()), noLog);
    std::printf("  memória do serviço: %ld KiB; com %zu conexões ociosas abertas: %ld KiB (%.1f KiB cada)\n",
                memoriaAntes, abertas.size(), memoriaOciosas,
                abertas.empty() ? 0.0 : double(memoriaOciosas - memoriaAntes) / double(abertas.size()));
    return 0;
}
