// Time of a 200-member group send by bipvox-enviar against the simulator paced at 9600 baud,
// beside the line-rate limit: the bytes that crossed the line, at 10 bits a character.
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int Membros = 200;
constexpr double SegundosPorByte = 10.0 / 9600.0;

bool CriaCadastro(const QString& diretorio) {
    if (!CriaBancoVazio(diretorio + QStringLiteral("/Pager.Mdb")) ||
        !AbreBancoDeDados(QStringLiteral("Pager.Mdb"), diretorio))
        return false;
    bool ok =
        Executa(QStringLiteral("Insert Into Grupos (Nome_Grupo, Descricao_Grupo) Values ('Todos', '')"));
    for (int i = 1; ok && i <= Membros; ++i)
        ok = Executa(QStringLiteral("Insert Into Usuarios (Nome_Usuario, ID_Pager, Descricao, Data_Cadastro) "
                                    "Values (?, ?, '', '')"),
                     {QStringLiteral("Membro %1").arg(i), QString::number(1000000 + i)}) &&
             Executa(QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, 1)"), {i});
    FechaBancoDeDados();
    return ok;
}

struct Linha {
    qint64 bytes = 0;        // both directions
    qint64 bytesPaginas = 0; // from the first page to the last
    double primeira = -1;
    double ultima = -1;
    int paginas = 0;
};

Linha LeTranscricao(const QString& caminho) {
    QList<QJsonObject> registros;
    QFile arquivo(caminho);
    if (arquivo.open(QIODevice::ReadOnly))
        while (!arquivo.atEnd())
            registros << QJsonDocument::fromJson(arquivo.readLine()).object();
    Linha l;
    for (const QJsonObject& r : registros)
        if (r.value(QStringLiteral("tipo")).toString() == QLatin1String("pagina")) {
            const double t = r.value(QStringLiteral("t")).toDouble();
            l.primeira = l.paginas++ == 0 ? t : l.primeira;
            l.ultima = t;
        }
    for (const QJsonObject& r : registros) {
        if (r.value(QStringLiteral("tipo")).toString() != QLatin1String("dados"))
            continue;
        const qint64 n = r.value(QStringLiteral("hex")).toString().size() / 2;
        const double t = r.value(QStringLiteral("t")).toDouble();
        l.bytes += n;
        if (t > l.primeira && t <= l.ultima)
            l.bytesPaginas += n;
    }
    return l;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    QTemporaryDir diretorio;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(diretorio.path()));
    if (!CriaCadastro(diretorio.path())) {
        std::fprintf(stderr, "não foi possível criar o cadastro de teste\n");
        return 1;
    }
    const QString transcricao = diretorio.filePath(QStringLiteral("transcricao.jsonl"));
    QProcess simulador;
    simulador.start(QStringLiteral(BIPVOX_SIMULADOR),
                    {QStringLiteral("--ritmo"), QStringLiteral("--silencioso"),
                     QStringLiteral("--atraso-discagem=0.1"), QStringLiteral("--guarda-escape=0.2"),
                     QStringLiteral("--transcricao=") + transcricao});
    if (!simulador.waitForReadyRead(5000)) {
        std::fprintf(stderr, "o simulador não iniciou\n");
        return 1;
    }
    GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("1"));
    GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"),
             QString::fromLocal8Bit(simulador.readLine()).trimmed());

    const QString mensagem =
        QStringLiteral("Servidor db1 fora do ar desde 03:12; banco em modo somente leitura. Ver painel.");
    QElapsedTimer relogio;
    relogio.start();
    QProcess enviar;
    enviar.start(QStringLiteral(BIPVOX_ENVIAR),
                 {QStringLiteral("--silencioso"), QStringLiteral("--banco"),
                  diretorio.filePath(QStringLiteral("Pager.Mdb")), QStringLiteral("--grupo"),
                  QStringLiteral("Todos"), mensagem});
    enviar.waitForFinished(-1);
    const double total = relogio.nsecsElapsed() / 1e9;
    simulador.terminate();
    simulador.waitForFinished(5000);

    const Linha l = LeTranscricao(transcricao);
    const double fase = l.ultima - l.primeira;
    std::printf("Envio a um grupo de %d membros pelo bipvox-enviar, simulador a 9600 bauds (--ritmo)\n",
                Membros);
    std::printf("  saída do bipvox-enviar:             %d (%d páginas na central)\n", enviar.exitCode(),
                l.paginas);
    std::printf("  tempo total (discagem a desligar):  %7.2f s\n", total);
    std::printf("  limite da linha, sessão inteira:    %7.2f s  (%lld bytes x 10 bits / 9600)\n",
                l.bytes * SegundosPorByte, l.bytes);
    std::printf("  da 1a à última página:              %7.2f s  (%.1f ms por página)\n", fase,
                l.paginas > 1 ? fase * 1000 / (l.paginas - 1) : 0.0);
    std::printf("  limite da linha nesse trecho:       %7.2f s  (%lld bytes; %.0f%% do tempo medido)\n",
                l.bytesPaginas * SegundosPorByte, l.bytesPaginas,
                fase > 0 ? 100.0 * l.bytesPaginas * SegundosPorByte / fase : 0.0);
    return enviar.exitCode() == 0 && l.paginas == Membros ? 0 : 1;
}
