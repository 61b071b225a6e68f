// Group sends against bipvox-simulador through a pseudo-terminal, with the program's own main
// window, status line and progress window: 200 and 1000 members, the line paced at 9600 baud
// and unpaced. For each run it prints
//   - the reaction, the terminal's ACK CR out to the program's next STX in, as the simulator saw
//     it on the line (median, 99th percentile, maximum), and the same inside the program (the
//     read that completed the ACK CR to the write of the next block);
//   - the time from the first page to the last beside the line-rate bound: the bytes on the
//     line both ways in that stretch, at 10 bits a character and 9600 baud;
//   - the CPU per page, and the CPU of the answer waits (block out to answer in) as a share of
//     one core: at 9600 baud that is the time the answer trickles in;
//   - beside them, the same machine's floor (PisoDaMaquina.h): how late a bare reader wakes
//     after a byte is written, and its CPU per byte, measured just before the run.
// Options: --membros=200,1000  --linha=ambas|ritmo|livre  (a quick run: --membros=200 --linha=livre)
// On a virtual machine, run it also as "taskset -c 0 xvfb-run -a bench_envio_grupo": waking a
// process on an idle virtual core costs the hypervisor tens of microseconds and more.
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "modem/ComandosModem.h"
#include "modem/PortaSerialQt.h"
#include "settings/PerfilINI.h"
#include "shell/frmPrincipal.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"
#include "tap/frmShowDoEnvio.h"

#include "PisoDaMaquina.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sched.h>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr double SegundosPorByte = 10.0 / 9600.0;
constexpr char STX = 0x02, ACK = 0x06, CR = 0x0d;

double CPUDoProcesso() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return double(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
           double(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
}

// The real port, watched from outside: when each block goes out, when its answer is complete,
// and the CPU the thread spent in between. It only looks; every call goes through unchanged.
class PortaMedida : public PortaSerial {
public:
    explicit PortaMedida(const Relogio& relogio) : m_real(relogio), m_relogio(relogio) {}

    std::vector<double> reacoes; // answer complete -> next block's first byte written
    double esperaParede = 0, esperaCPU = 0;
    // The same from the answer's first bytes in: while it trickles, and how often the wait woke.
    double chegadaParede = 0, chegadaCPU = 0;
    int despertares = 0;
    // The process's CPU from the first block out to the last answer in, and the pages between.
    double cpuPrimeiroBloco = -1, cpuUltimaResposta = 0;
    int respostas = 0;

    void setCommPort(qint16 numero) override { m_real.setCommPort(numero); }
    void setSettings(const QString& configuracao) override { m_real.setSettings(configuracao); }
    void setHandshaking(int modo) override { m_real.setHandshaking(modo); }
    void setRTSEnable(bool ligado) override { m_real.setRTSEnable(ligado); }
    bool setPortOpen(bool aberta) override { return m_real.setPortOpen(aberta); }
    bool PortOpen() const override { return m_real.PortOpen(); }
    QString UltimoErro() const override { return m_real.UltimoErro(); }
    int InBufferCount() override { return m_real.InBufferCount(); }
    void AguardaDados(double prazo) override {
        despertares += m_esperando ? 1 : 0;
        m_real.AguardaDados(prazo);
    }

    void EscreveBytes(const QByteArray& bytes) override {
        const bool bloco = bytes.startsWith(STX);
        if (bloco && cpuPrimeiroBloco < 0)
            cpuPrimeiroBloco = CPUDoProcesso();
        if (bloco && m_aceitaEm >= 0)
            reacoes.push_back(m_relogio.Agora() - m_aceitaEm);
        m_aceitaEm = -1;
        m_real.EscreveBytes(bytes);
        m_esperando = bloco;
        m_resposta.clear();
        m_saiuEm = m_relogio.Agora();
        m_cpuNaSaida = RelogioDe(CLOCK_THREAD_CPUTIME_ID);
    }

    QByteArray LeBytes() override {
        const QByteArray lidos = m_real.LeBytes();
        if (m_esperando && !lidos.isEmpty()) {
            if (m_resposta.isEmpty()) {
                m_chegouEm = m_relogio.Agora();
                m_cpuNaChegada = RelogioDe(CLOCK_THREAD_CPUTIME_ID);
            }
            m_resposta += lidos;
            // Every answer the program acts on ends in one of these.
            for (const char* fim : {"\x06\r", "\x15\r", "\r\x1e\r", "\x1b\x04\r"})
                if (m_resposta.contains(fim)) {
                    const double agora = m_relogio.Agora();
                    esperaParede += agora - m_saiuEm;
                    const double cpuAgora = RelogioDe(CLOCK_THREAD_CPUTIME_ID);
                    esperaCPU += cpuAgora - m_cpuNaSaida;
                    chegadaParede += agora - m_chegouEm;
                    chegadaCPU += cpuAgora - m_cpuNaChegada;
                    m_esperando = false;
                    m_aceitaEm = m_resposta.contains("\x06\r") ? agora : -1;
                    cpuUltimaResposta = CPUDoProcesso();
                    ++respostas;
                    break;
                }
        }
        return lidos;
    }

private:
    PortaSerialQt m_real;
    const Relogio& m_relogio;
    QByteArray m_resposta;
    bool m_esperando = false;
    double m_saiuEm = 0, m_cpuNaSaida = 0, m_aceitaEm = -1, m_chegouEm = 0, m_cpuNaChegada = 0;
};

class PedidoDoGrupo : public PedidoDeEnvio {
public:
    bool DestinoEhUsuario() const override { return false; }
    int IndiceDaLista() const override { return 0; }
    QString TextoDaMensagem() const override { return m_texto; }
    void EsvaziaMensagem() override {}
    QString Origem() const override { return QStringLiteral("janela"); }

private:
    QString m_texto = QStringLiteral("Servidor db1 fora do ar desde 03:12; banco em modo somente leitura.");
};

// The main window as the operator; a message box would wait for nobody, so it is printed.
class PrincipalDoBench : public frmPrincipal {
public:
    PrincipalDoBench(PortaSerial* porta, Relogio* relogio) : frmPrincipal(porta, relogio) {}
    int caixas = 0;
    Resposta Mensagem(const QString& texto, const QString& titulo, Icone, Botoes) override {
        ++caixas;
        std::fprintf(stderr, "caixa \"%s\": %s\n", qPrintable(titulo), qPrintable(texto));
        return Resposta::OK;
    }
};

struct Byte {
    char valor;
    bool doPrograma;
    double t; // when the simulator saw it cross the line
};

std::vector<Byte> LeLinha(const QString& caminho) {
    std::vector<Byte> bytes;
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        return bytes;
    while (!arquivo.atEnd()) {
        const QJsonObject r = QJsonDocument::fromJson(arquivo.readLine()).object();
        if (r.value(QStringLiteral("tipo")).toString() != QLatin1String("dados"))
            continue;
        const bool doPrograma = r.value(QStringLiteral("sentido")).toString() == QLatin1String("recebido");
        const double t = r.value(QStringLiteral("t")).toDouble();
        for (const char c : QByteArray::fromHex(r.value(QStringLiteral("hex")).toString().toLatin1()))
            bytes.push_back({c, doPrograma, t});
    }
    return bytes;
}

struct Figuras {
    std::vector<double> reacoes; // seconds
    double inicio = 0, fim = 0;  // first page's STX in, last page's ACK CR out
    qint64 bytes = 0;            // both ways, between the two
    qint64 bytesDaSessao = 0;
};

// Reactions are taken between pages: an ACK CR answering a block, then the next block's STX.
// On a paced line the simulator takes a byte in when its last bit is through, one byte time
// after the program wrote it; that time is taken off.
Figuras Analisa(const std::vector<Byte>& linha, bool compassada) {
    Figuras f;
    f.bytesDaSessao = qint64(linha.size());
    const double atrasoDoByte = compassada ? SegundosPorByte : 0.0;
    bool emPagina = false;
    double aceitaEm = -1;
    std::size_t primeiro = 0, ultimo = 0;
    for (std::size_t i = 0; i < linha.size(); ++i) {
        const Byte& b = linha[i];
        if (b.doPrograma && b.valor == STX) {
            if (f.inicio == 0) {
                f.inicio = b.t - atrasoDoByte;
                primeiro = i;
            }
            if (aceitaEm >= 0)
                f.reacoes.push_back(b.t - atrasoDoByte - aceitaEm);
            emPagina = true;
            aceitaEm = -1;
        } else if (!b.doPrograma && emPagina && b.valor == CR && i > 0 && linha[i - 1].valor == ACK &&
                   !linha[i - 1].doPrograma) {
            aceitaEm = b.t;
            f.fim = b.t;
            ultimo = i;
            emPagina = false;
        } else if (b.doPrograma && aceitaEm >= 0) {
            aceitaEm = -1; // EOT after the last page: not a reaction
        }
    }
    f.bytes = f.fim > 0 ? qint64(ultimo - primeiro + 1) : 0;
    return f;
}

int LinhasNoLog() {
    Snapshot s(QStringLiteral("Select Count(*) As n From Log"));
    return s.Valido() && !s.Eof() ? s.Campo(QStringLiteral("n")).toInt() : -1;
}

bool PreparaBanco(const QString& pasta, int membros) {
    if (!CriaBancoVazio(pasta + QStringLiteral("/Pager.Mdb")) ||
        !AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta))
        return false;
    QSqlDatabase banco = BancoDeDados();
    banco.transaction();
    bool ok =
        Executa(QStringLiteral("Insert Into Grupos (Nome_Grupo, Descricao_Grupo) Values ('Plantão', '')"));
    for (int i = 1; ok && i <= membros; ++i)
        ok = Executa(QStringLiteral("Insert Into Usuarios (Nome_Usuario, ID_Pager, Descricao, Data_Cadastro) "
                                    "Values (?, ?, '', '01/01/2026')"),
                     {QStringLiteral("Membro %1").arg(i), QString::number(5000000 + i)}) &&
             Executa(QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, 1)"), {i});
    return ok && banco.commit();
}

// How many reactions on the line went over the goal, and in how many of them the program itself
// (read to write) did; the rest is waking up, the program's and the simulator's.
void AtribuiDemoras(const std::vector<double>& naLinha, const std::vector<double>& noPrograma) {
    constexpr double Meta = 0.003;
    const auto acima = [](const std::vector<double>& v) {
        return std::count_if(v.begin(), v.end(), [](double r) { return r > Meta; });
    };
    std::printf("  reações acima de 3 ms: %ld na linha, %ld dentro do programa\n", long(acima(naLinha)),
                long(acima(noPrograma)));
}

bool Roda(int membros, bool compassada) {
    const PisoDaMaquina piso = MedePisoDaMaquina();
    QTemporaryDir pasta;
    if (!PreparaBanco(pasta.path(), membros)) {
        std::fprintf(stderr, "envio_grupo: banco não preparado\n");
        return false;
    }
    const QString transcricao = pasta.filePath(QStringLiteral("transcricao.jsonl"));
    QStringList opcoes{QStringLiteral("--silencioso"), QStringLiteral("--atraso-discagem=0.1"),
                       QStringLiteral("--guarda-escape=0.2"), QStringLiteral("--transcricao=") + transcricao};
    if (compassada)
        opcoes << QStringLiteral("--ritmo");
    QProcess simulador;
    simulador.start(qEnvironmentVariable("BIPVOX_SIMULADOR", QStringLiteral(BIPVOX_SIMULADOR)), opcoes);
    if (!simulador.waitForStarted(5000) || !simulador.waitForReadyRead(5000)) {
        std::fprintf(stderr, "envio_grupo: o simulador não iniciou\n");
        return false;
    }
    GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"),
             QString::fromLocal8Bit(simulador.readLine()).trimmed());
    Modulo::PortaModem = 1;
    Modulo::EnvioIniciado = false;
    Modulo::CodigosDaLista.fill(0, Modulo::MinCodigosDaLista + 1);
    Modulo::CodigosDaLista[1] = 1;

    RelogioReal relogio;
    PortaMedida porta(relogio);
    PrincipalDoBench principal(&porta, &relogio);
    principal.show();
    Contexto& ctx = principal.Ctx();
    if (!ConfiguraPorta(ctx)) {
        std::fprintf(stderr, "envio_grupo: a porta não abriu\n");
        return false;
    }
    InicializaModem(ctx);
    PedidoDoGrupo pedido;
    frmShowDoEnvio janela(ctx, pedido, &principal);
    const double cpuAntes = CPUDoProcesso();
    QElapsedTimer cronometro;
    cronometro.start();
    janela.exec();
    const double parede = double(cronometro.nsecsElapsed()) / 1e9;
    const double cpu = CPUDoProcesso() - cpuAntes;
    simulador.terminate();
    simulador.waitForFinished(5000);

    const Figuras f = Analisa(LeLinha(transcricao), compassada);
    const int registradas = LinhasNoLog();
    FechaBancoDeDados();
    const double fase = f.fim - f.inicio;
    const double limite = double(f.bytes) * SegundosPorByte;
    std::printf("%4d membros, linha %s: %d páginas no histórico%s\n", membros,
                compassada ? "a 9600 bauds" : "sem ritmo", registradas,
                registradas == membros && principal.caixas == 0 ? "" : " (ERRO)");
    std::printf("  reação na linha (ACK CR -> STX):   mediana %6.3f ms  p99 %6.3f ms  máx %6.3f ms\n",
                Percentil(f.reacoes, 0.5) * 1e3, Percentil(f.reacoes, 0.99) * 1e3,
                Percentil(f.reacoes, 1.0) * 1e3);
    std::printf("  reação no programa (leitura -> escrita): mediana %6.3f ms  p99 %6.3f ms\n",
                Percentil(porta.reacoes, 0.5) * 1e3, Percentil(porta.reacoes, 0.99) * 1e3);
    AtribuiDemoras(f.reacoes, porta.reacoes);
    if (piso.medido)
        std::printf("  piso desta máquina (um leitor mínimo, a 9600): acorda %.3f ms após o byte (mediana), "
                    "%.3f ms (p99); CPU %.2f%% de um núcleo, %.0f us por despertar\n",
                    piso.atrasoMediano * 1e3, piso.atrasoP99 * 1e3, 100.0 * piso.cpu,
                    piso.cpuPorDespertar * 1e6);
    if (compassada)
        std::printf(
            "  da 1a à última página: %.2f s = %.4f x o limite da linha (%lld bytes a 9600 = %.2f s)\n", fase,
            fase / limite, f.bytes, limite);
    else
        std::printf("  da 1a à última página: %.3f s (%.0f páginas/s)\n", fase,
                    membros / std::max(fase, 1e-9));
    std::printf("  sessão inteira: %.2f s (%lld bytes na linha)\n", parede, f.bytesDaSessao);
    std::printf("  CPU: %.3f ms por página (da 1a à última), %.1f%% de um núcleo na sessão inteira\n",
                (porta.cpuUltimaResposta - porta.cpuPrimeiroBloco) * 1e3 / std::max(porta.respostas, 1),
                100.0 * cpu / parede);
    // Unpaced, an answer comes in one read: there is no trickle to speak of.
    if (compassada)
        std::printf(
            "  CPU nas esperas de resposta: %.2f%% de um núcleo do bloco à resposta, %.2f%% enquanto a "
            "resposta chega (%.1f despertares e %.0f us de CPU por página)\n",
            100.0 * porta.esperaCPU / std::max(porta.esperaParede, 1e-9),
            100.0 * porta.chegadaCPU / std::max(porta.chegadaParede, 1e-9),
            double(porta.despertares) / std::max(porta.respostas, 1),
            porta.esperaCPU * 1e6 / std::max(porta.respostas, 1));
    std::fflush(stdout);
    return registradas == membros;
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir configuracao;
    qputenv("XDG_CONFIG_HOME", configuracao.path().toLocal8Bit());
    QApplication aplicacao(argc, argv);
    std::vector<int> tamanhos{200, 1000};
    std::vector<bool> linhas{false, true};
    for (const QString& argumento : aplicacao.arguments().mid(1)) {
        if (argumento.startsWith(QLatin1String("--membros="))) {
            tamanhos.clear();
            for (const QString& n : argumento.mid(10).split(QLatin1Char(',')))
                if (n.toInt() > 0)
                    tamanhos.push_back(n.toInt());
        } else if (argumento == QLatin1String("--linha=ritmo")) {
            linhas = {true};
        } else if (argumento == QLatin1String("--linha=livre")) {
            linhas = {false};
        } else if (argumento != QLatin1String("--linha=ambas")) {
            std::fprintf(stderr, "uso: %s [--membros=200,1000] [--linha=ambas|ritmo|livre]\n", argv[0]);
            return 2;
        }
    }
    // Under taskset -c 0 the program, the simulator and the display share one core: no wake-up
    // then crosses to an idle core, which a virtual machine makes costly.
    cpu_set_t nucleos;
    CPU_ZERO(&nucleos);
    const int permitidos = sched_getaffinity(0, sizeof nucleos, &nucleos) == 0 ? CPU_COUNT(&nucleos) : -1;
    std::printf("Envio a um grupo pela janela de envio, contra o bipvox-simulador (plataforma %s, %d "
                "núcleo(s) permitido(s))\n",
                qPrintable(QGuiApplication::platformName()), permitidos);
    bool ok = true;
    for (const int membros : tamanhos)
        for (const bool compassada : linhas)
            ok = Roda(membros, compassada) && ok;
    return ok ? 0 : 1;
}
