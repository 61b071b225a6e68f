// The page queue under load: 1000 pages queued by 20 bipvox-enviar --fila processes running at
// once (50 each, one page per run), delivered by bipvox-servidor against bipvox-simulador with the
// line paced at 9600 baud. It prints
//   - whether every page reached the terminal exactly once and has its Log row, and the calls made;
//   - the page phase (the first block's first byte to the last page's answer) beside the line-rate
//     bound: the bytes on the line both ways in that stretch, at 10 bits a character and 9600 baud;
//   - the latency of one bipvox-enviar --fila run (start to exit: the page is on disk and the
//     service poked), median and 99th percentile;
//   - the service's CPU while idle (5 s with nothing queued) and per page delivered.
// Options: --paginas=1000 --remetentes=20 (a quick run: --paginas=100 --remetentes=5)
#include "ApoioDoBench.h"
#include "CenaDoServico.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

// User plus system CPU of a process, in seconds (Linux).
double CPUDe(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> campos = stat.readAll().split(')').value(1).trimmed().split(' ');
    return double(campos.value(11).toLongLong() + campos.value(12).toLongLong()) /
           double(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    const int total = Opcao(aplicacao.arguments(), QStringLiteral("--paginas"), 1000);
    const int remetentes = Opcao(aplicacao.arguments(), QStringLiteral("--remetentes"), 20);
    CenaDoServico cena;
    if (!cena.Prepara({"--ritmo", "--silencioso", "--atraso-discagem=0.1", "--guarda-escape=0.05"}))
        return 1;
    const QTemporaryDir& pasta = cena.pasta;
    const QString& banco = cena.banco;
    QProcess& simulador = cena.simulador;

    QProcess servidor;
    servidor.start(QStringLiteral(BIPVOX_SERVIDOR), {"--banco", banco});
    QString registro;
    while (!registro.contains(QStringLiteral("iniciado")) && servidor.waitForReadyRead(5000))
        registro += QString::fromUtf8(servidor.readAllStandardError());
    QThread::msleep(500);
    const double cpuAntes = CPUDe(servidor.processId());
    QThread::sleep(5);
    const double cpuParado = CPUDe(servidor.processId()) - cpuAntes;

    // remetentes slots, each running one bipvox-enviar --fila after another.
    std::vector<double> latencias;
    int iniciados = 0, falhas = 0;
    std::vector<std::unique_ptr<QProcess>> vagas(static_cast<std::size_t>(remetentes));
    std::vector<QElapsedTimer> desde(static_cast<std::size_t>(remetentes));
    const double cpuInicio = CPUDe(servidor.processId());
    QElapsedTimer parede;
    parede.start();
    const auto inicia = [&](std::size_t i) {
        const QString codigo = QStringLiteral("P%1").arg(++iniciados, 4, 10, QLatin1Char('0'));
        vagas[i] = std::make_unique<QProcess>();
        desde[i].start();
        vagas[i]->start(QStringLiteral(BIPVOX_ENVIAR),
                        {"--banco", banco, "--fila", "--silencioso", "--pager", codigo, "Alarme " + codigo});
    };
    for (std::size_t i = 0; i < vagas.size() && iniciados < total; ++i)
        inicia(i);
    for (int prontos = 0; prontos < total;) {
        for (std::size_t i = 0; i < vagas.size(); ++i) {
            if (!vagas[i] || !vagas[i]->waitForFinished(1))
                continue;
            latencias.push_back(double(desde[i].nsecsElapsed()) / 1e9);
            falhas += vagas[i]->exitCode() != 0;
            vagas[i].reset();
            ++prontos;
            if (iniciados < total)
                inicia(i);
        }
    }
    const double enfileiradas = double(parede.nsecsElapsed()) / 1e9;

    AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path());
    const auto linhas = [] {
        return Snapshot(QStringLiteral("Select Count(*) As N From Log")).Campo("N").toInt();
    };
    QElapsedTimer espera;
    espera.start();
    while (linhas() < total - falhas && espera.elapsed() < 300000)
        QThread::msleep(200);
    QThread::msleep(500);
    const double cpuEntrega = CPUDe(servidor.processId()) - cpuInicio;
    const int noLog = linhas();
    servidor.terminate();
    servidor.waitForFinished(30000);
    simulador.terminate();
    simulador.waitForFinished(5000);

    // The terminal's side: pages, calls, and the line between the first block and the last answer.
    QFile arquivo(cena.transcricao);
    arquivo.open(QIODevice::ReadOnly);
    QSet<QString> codigos;
    int paginas = 0, chamadas = 0;
    double primeiro = -1, ultimo = 0;
    std::vector<std::pair<double, int>> dados;
    QHash<QString, QByteArray> caudas;
    while (!arquivo.atEnd()) {
        const QJsonObject r = QJsonDocument::fromJson(arquivo.readLine()).object();
        const QString tipo = r.value("tipo").toString();
        const double t = r.value("t").toDouble();
        if (tipo == QLatin1String("pagina")) {
            ++paginas;
            codigos.insert(r.value("codigo").toString());
        } else if (tipo == QLatin1String("evento") && r.value("texto").toString().contains("discando")) {
            ++chamadas;
        } else if (tipo == QLatin1String("dados")) {
            const QByteArray bytes = QByteArray::fromHex(r.value("hex").toString().toLatin1());
            if (primeiro < 0 && bytes.contains('\x02'))
                primeiro = t;
            // Paced, the terminal's answer is written (and recorded) a byte or a few at a time.
            QByteArray& cauda = caudas[r.value("sentido").toString()];
            cauda = cauda.right(1) + bytes;
            if (cauda.contains("\x06\r"))
                ultimo = t;
            dados.emplace_back(t, int(bytes.size()));
        }
    }
    int bytesNaFase = 0;
    for (const auto& [t, n] : dados)
        bytesNaFase += t >= primeiro && t <= ultimo ? n : 0;
    const double limite = bytesNaFase * 10.0 / 9600.0;
    std::printf("fila: %d páginas, %d remetentes ao mesmo tempo, linha a 9600 baud\n", total, remetentes);
    std::printf("  entregues uma vez: %s (%d na central, %d códigos distintos, %d linhas no Log, %d falhas "
                "de --fila)\n",
                paginas == total && codigos.size() == total && noLog == total && falhas == 0 ? "sim" : "NÃO",
                paginas, int(codigos.size()), noLog, falhas);
    std::printf("  chamadas: %d\n", chamadas);
    std::printf("  fase das páginas: %.2f s; limite da linha %.2f s; razão %.3f\n", ultimo - primeiro, limite,
                limite > 0 ? (ultimo - primeiro) / limite : 0);
    std::printf("  --fila: mediana %.1f ms, p99 %.1f ms (as %d páginas em %.1f s)\n",
                Percentil(latencias, 0.5) * 1e3, Percentil(latencias, 0.99) * 1e3, total, enfileiradas);
    std::printf("  CPU do serviço: parado %.3f s em 5 s; %.2f ms por página\n", cpuParado,
                cpuEntrega / total * 1e3);
    return 0;
}
