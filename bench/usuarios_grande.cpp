// The user browser over 50 000 users: reading the names in order, opening the window (list
// filled, first user's details shown) and refilling it after a change.
// Run with QT_QPA_PLATFORM=offscreen for figures without a display.
#include "ApoioDoBench.h"
#include "common/Operador.h"
#include "directory/VisualizacaoDeUsuarios.h"
#include "directory/frmVisualizaUsuarios.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"
#include "store/Transacao.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int Usuarios = 50000;
constexpr int Repeticoes = 5;

bool PreencheUsuarios() {
    QRandomGenerator gerador(1998);
    Transacao transacao;
    for (int i = 0; i < Usuarios; ++i) {
        if (!Executa(QStringLiteral("Insert Into Usuarios (Descricao, ID_Pager, Data_Cadastro, Nome_Usuario) "
                                    "Values (?, ?, ?, ?)"),
                     {QStringLiteral("Técnico de campo"), QString::number(1000000 + i),
                      QStringLiteral("03/12/1998"), NomeAleatorio(gerador)}))
            return false;
    }
    return transacao.Confirma();
}

void Mede(const char* descricao, const std::function<void()>& passo) {
    std::vector<double> tempos;
    for (int i = 0; i < Repeticoes; ++i) {
        QElapsedTimer cronometro;
        cronometro.start();
        passo();
        tempos.push_back(cronometro.nsecsElapsed() / 1e6);
    }
    std::sort(tempos.begin(), tempos.end());
    std::printf("%-52s melhor %7.1f ms   mediana %7.1f ms\n", descricao, tempos.front(),
                tempos[tempos.size() / 2]);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir pasta;
    if (!CriaBancoVazio(pasta.filePath(QStringLiteral("Pager.Mdb"))) ||
        !AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()) || !PreencheUsuarios()) {
        std::printf("não foi possível preparar o banco\n");
        return 1;
    }
    OperadorCalado operador;
    std::printf("usuários: %d\n", Usuarios);
    Mede("ler nomes e identificadores em ordem", [] { LeUsuariosEmOrdem(); });
    Mede("abrir o visualizador (lista + detalhes)", [&] {
        frmVisualizaUsuarios janela(operador, nullptr);
        janela.show();
        app.processEvents();
    });
    frmVisualizaUsuarios janela(operador, nullptr);
    janela.show();
    app.processEvents();
    Mede("refazer a lista depois de uma mudança", [&] {
        janela.AtualizaListaDeUsuarios();
        janela.ExibeInfoUsuario();
    });
    auto* lista = janela.findChild<QComboBox*>(QStringLiteral("cmbUsuario"));
    Mede("abrir a lista suspensa", [&] {
        lista->showPopup();
        app.processEvents();
        lista->hidePopup();
    });
    std::printf("entradas na lista: %d\n", lista->count());
    return 0;
}
