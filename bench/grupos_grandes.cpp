// The group windows list every user and a group's members; with 50 000 users and as many
// groups those lists must still fill at once. Builds such a directory and prints, for each list
// the windows fill, the time and the memory it adds.
#include "ApoioDoBench.h"
#include "directory/CadastroDeGrupos.h"
#include "directory/MembrosDoGrupo.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"
#include "store/Transacao.h"
#include "ui/frmListaDeNomes.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Quantidade = 50000;
constexpr int Repeticoes = 5;

// Users and groups; ten users in the second group and all the others in the first.
bool Preenche() {
    QRandomGenerator gerador(1998);
    Transacao transacao;
    for (int i = 0; i < Quantidade; ++i) {
        if (!Executa(QStringLiteral("Insert Into Usuarios (Descricao, ID_Pager, Data_Cadastro, Nome_Usuario) "
                                    "Values ('-', ?, '03/12/1998', ?)"),
                     {QString::number(1000000 + i), NomeAleatorio(gerador)}) ||
            !Executa(QStringLiteral("Insert Into Grupos (Descricao_Grupo, Nome_Grupo) Values ('-', ?)"),
                     {QStringLiteral("G%1").arg(gerador.bounded(1000000))}) ||
            !Executa(QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, ?)"),
                     {i + 1, i % 5000 == 0 ? 2 : 1}))
            return false;
    }
    return transacao.Confirma();
}

void Mede(const char* descricao, const std::function<int()>& passo) {
    std::vector<double> tempos;
    int linhas = 0;
    const long antes = MemoriaResidente();
    for (int i = 0; i < Repeticoes; ++i) {
        QElapsedTimer cronometro;
        cronometro.start();
        linhas = passo();
        tempos.push_back(cronometro.nsecsElapsed() / 1e6);
    }
    std::sort(tempos.begin(), tempos.end());
    std::printf("%-46s %6d linhas  mín %7.1f ms  mediana %7.1f ms  memória +%5.1f MB\n", descricao, linhas,
                tempos.front(), tempos[tempos.size() / 2], (MemoriaResidente() - antes) / 1024.0);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication aplicacao(argc, argv);
    QTemporaryDir pasta;
    QString erro;
    if (!CriaBancoVazio(pasta.filePath(QStringLiteral("Pager.Mdb")), &erro) ||
        !AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()) || !Preenche()) {
        std::fprintf(stderr, "grupos_grandes: não foi possível montar o banco %s\n", qPrintable(erro));
        return 1;
    }
    std::printf("%d usuários, %d grupos\n", Quantidade, Quantidade);

    QComboBox cmbUsuarios;
    QComboBox cmbGrupos;
    QListView lstUsuarios;
    PreparaListaGrande(&cmbUsuarios);
    PreparaListaGrande(&cmbGrupos);
    PreparaListaGrande(&lstUsuarios);
    // Each list is kept, as the window keeps it, so the memory figure is what the list holds.
    ListaDeNomes usuarios, grupos, membros;
    Mede("todos os usuários (cmbUsuarios)", [&] {
        usuarios = LeUsuarios();
        PreencheNomes(&cmbUsuarios, usuarios.nomes);
        return cmbUsuarios.count();
    });
    Mede("todos os grupos (cmbGrupos)", [&] {
        grupos = LeGrupos();
        PreencheNomes(&cmbGrupos, grupos.nomes);
        return cmbGrupos.count();
    });
    for (const qint32 grupo : {1, 2}) {
        Mede(grupo == 1 ? "membros do grupo grande (lstUsuarios)" : "membros do grupo de dez (lstUsuarios)",
             [&] {
                 membros = LeMembros(grupo, usuarios);
                 PreencheNomes(&lstUsuarios, membros.nomes);
                 return lstUsuarios.model()->rowCount();
             });
    }
    FechaBancoDeDados();
    return 0;
}
