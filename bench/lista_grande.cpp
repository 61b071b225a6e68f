// The windows that list a whole directory must fill at once even with 50 000 users and as many
// groups. Builds such a database (the first group in name order holding every user) and prints, for each way
// of listing and each window that lists, the time and the memory the list keeps.
#include "ApoioDoBench.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"
#include "compose/Destinatarios.h"
#include "compose/frmMontaMsg.h"
#include "directory/frmCadastraGrupo.h"
#include "directory/frmCadastraUsuarios.h"
#include "directory/frmUsuariosGrupo.h"
#include "directory/frmVisualizaUsuarios.h"
#include "modem/PortaSerialQt.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Esquema.h"
#include "store/ListaDeNomes.h"
#include "store/Snapshot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <malloc.h>
#include <vector>

namespace {

constexpr int Quantidade = 50000;
constexpr int Repeticoes = 5;

bool Preenche() {
    QRandomGenerator gerador(1998);
    QSqlDatabase banco = BancoDeDados();
    if (!banco.transaction())
        return false;
    for (int i = 1; i <= Quantidade; ++i) {
        if (!Executa(QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, 1)"), {i}) ||
            !Executa(QStringLiteral("Insert Into Usuarios (Descricao, ID_Pager, Data_Cadastro, Nome_Usuario) "
                                    "Values (?, ?, ?, ?)"),
                     {QStringLiteral("Não há descrição para este usuário."), QString::number(1000000 + i),
                      QStringLiteral("03/12/1998"), NomeAleatorio(gerador)}) ||
            !Executa(QStringLiteral("Insert Into Grupos (Nome_Grupo, Descricao_Grupo) Values (?, ?)"),
                     {i == 1 ? QStringLiteral("A Todos") : QStringLiteral("Grupo ") + NomeAleatorio(gerador),
                      QStringLiteral("Plantão")}))
            return false;
    }
    return banco.commit();
}

// Heap bytes in use, mapped blocks included.
double MegabytesEmUso() {
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

// Median wall-clock and CPU time of several runs (on a busy machine the CPU time is the fairer
// figure), and the heap the last run left in use.
void Mede(const char* descricao, const std::function<int()>& passo, const std::function<void()>& limpa = {}) {
    std::vector<double> tempos;
    std::vector<double> cpu;
    int linhas = 0;
    double memoria = 0;
    for (int i = 0; i < Repeticoes; ++i) {
        if (limpa)
            limpa();
        const double antes = MegabytesEmUso();
        const double cpuAntes = RelogioDe(CLOCK_PROCESS_CPUTIME_ID) * 1e3;
        QElapsedTimer cronometro;
        cronometro.start();
        linhas = passo();
        tempos.push_back(double(cronometro.nsecsElapsed()) / 1e6);
        cpu.push_back(RelogioDe(CLOCK_PROCESS_CPUTIME_ID) * 1e3 - cpuAntes);
        memoria = MegabytesEmUso() - antes;
    }
    std::sort(tempos.begin(), tempos.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-44s %6d linhas  mediana %7.1f ms  CPU %7.1f ms  memória retida %5.1f MB\n", descricao,
                linhas, tempos[tempos.size() / 2], cpu[cpu.size() / 2], memoria);
    std::fflush(stdout);
}

int PercorreConsulta(const QString& sql) {
    QSqlQuery consulta(BancoDeDados());
    consulta.setForwardOnly(true);
    int linhas = 0;
    if (consulta.exec(sql))
        while (consulta.next())
            linhas += consulta.value(1).toString().isEmpty() ? 0 : 1;
    return linhas;
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir pasta;
    qputenv("XDG_CONFIG_HOME", pasta.path().toLocal8Bit());
    QApplication aplicacao(argc, argv);
    const QString caminho = pasta.filePath(QStringLiteral("Pager.Mdb"));
    QString erro;
    if (!CriaBancoVazio(caminho, &erro) || !AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path())) {
        std::fprintf(stderr, "lista_grande: %s\n", qPrintable(erro));
        return 1;
    }
    QElapsedTimer cronometro;
    cronometro.start();
    if (!Preenche()) {
        std::fprintf(stderr, "lista_grande: não foi possível gravar o cadastro\n");
        return 1;
    }
    std::printf("%d usuários e %d grupos gravados em %.0f ms\n", Quantidade, Quantidade,
                double(cronometro.nsecsElapsed()) / 1e6);

    Mede("abertura do banco (AbreBancoDeDados)",
         [&pasta] { return AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()) ? 1 : 0; });
    Mede("consulta com Order By chave do nome (referência)",
         [] { return PercorreConsulta(Consultas::ListaUsuarios); });
    Mede("Snapshot da lista de usuários (referência)",
         [] { return Snapshot(Consultas::ListaUsuarios).RecordCount(); });
    Mede("LeListaDeNomes, usuários sem ordem", [] {
        return int(
            LeListaDeNomes(QStringLiteral("Select ID_Usuario, Nome_Usuario from Usuarios")).nomes.size());
    });
    Mede("LeListaDeNomes, usuários em ordem",
         [] { return int(LeListaDeNomes(Consultas::IdsENomesDosUsuarios).nomes.size()); });
    Mede("LeDestinatarios, usuários",
         [] { return int(LeDestinatarios(TipoDeDestinatario::Usuario).nomes.size()); });
    Mede("LeDestinatarios, grupos",
         [] { return int(LeDestinatarios(TipoDeDestinatario::Grupo).nomes.size()); });

    RelogioReal relogio;
    PortaSerialQt porta(relogio);
    OperadorCalado operador;
    Contexto ctx{relogio, porta, operador};
    std::unique_ptr<frmMontaMsg> janela;
    const auto fecha = [&janela] { janela.reset(); };
    Mede(
        "frmMontaMsg aberta e listando usuários",
        [&] {
            janela = std::make_unique<frmMontaMsg>(ctx);
            janela->show();
            QApplication::processEvents();
            return int(Modulo::CodigosDaLista.size() - 1);
        },
        fecha);
    janela = std::make_unique<frmMontaMsg>(ctx);
    // A switch replaces one list by another as long: its memory figure is the difference.
    Mede(
        "frmMontaMsg: troca para Por Grupo",
        [&] {
            janela->ListaPorGrupo();
            return int(Modulo::CodigosDaLista.size() - 1);
        },
        [&janela] { janela->ListaPorUsuario(); });
    Mede(
        "frmMontaMsg: troca para Por Usuário",
        [&] {
            janela->ListaPorUsuario();
            return int(Modulo::CodigosDaLista.size() - 1);
        },
        [&janela] { janela->ListaPorGrupo(); });
    janela.reset();

    // Each directory window as it opens, its lists filled and shown; the memory is what the open
    // window keeps.
    std::unique_ptr<QDialog> aberta;
    const auto abre = [&aberta](auto&& cria) {
        return [&aberta, cria] {
            aberta = cria();
            aberta->show();
            QApplication::processEvents();
            return Quantidade;
        };
    };
    const auto fechaJanela = [&aberta] { aberta.reset(); };
    Mede("frmVisualizaUsuarios aberta (usuários)",
         abre([&] { return std::make_unique<frmVisualizaUsuarios>(operador, nullptr); }), fechaJanela);
    Mede("frmUsuariosGrupo aberta (usuários, membros)",
         abre([&] { return std::make_unique<frmUsuariosGrupo>(operador); }), fechaJanela);
    Mede("frmCadastraGrupo aberta (grupos)",
         abre([&] { return std::make_unique<frmCadastraGrupo>(operador); }), fechaJanela);
    Mede("frmCadastraUsuarios aberta (grupos)",
         abre([&] { return std::make_unique<frmCadastraUsuarios>(operador); }), fechaJanela);
    aberta.reset();
    FechaBancoDeDados();
    return 0;
}
