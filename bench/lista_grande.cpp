// The composition window lists every user in name order; with more than 5000 users that list
// must still fill at once. Builds a database of 6000 users and times the steps of that list.
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int QuantidadeDeUsuarios = 6000;
constexpr int Repeticoes = 7;

QString NomeAleatorio(QRandomGenerator& gerador) {
    static const char* const nomes[] = {
        "Álvaro", "Alberto", "ana",   "Beatriz", "bruno", "Cecília", "César",  "Élcio", "Eduardo", "Íris",
        "João",   "José",    "Óscar", "Úrsula",  "Zé",    "Zeca",    "Márcia", "Pedro", "Raquel",  "Sérgio"};
    static const char* const sobrenomes[] = {"D'Ávila", "da Conceição", "Brandão", "Façanha", "Nogueira",
                                             "Antunes", "Magalhães",    "Simões",  "Araújo",  "Peçanha"};
    return QString::fromUtf8(nomes[gerador.bounded(int(std::size(nomes)))]) + QLatin1Char(' ') +
           QString::fromUtf8(sobrenomes[gerador.bounded(int(std::size(sobrenomes)))]) + QLatin1Char(' ') +
           QString::number(gerador.bounded(100000));
}

bool PreencheUsuarios() {
    QRandomGenerator gerador(1998);
    QSqlDatabase banco = BancoDeDados();
    if (!banco.transaction())
        return false;
    for (int i = 0; i < QuantidadeDeUsuarios; ++i) {
        if (!Executa(QStringLiteral("Insert Into Usuarios (Descricao, ID_Pager, Data_Cadastro, Nome_Usuario) "
                                    "Values (?, ?, ?, ?)"),
                     {QStringLiteral("Não há descrição para este usuário."), QString::number(1000000 + i),
                      QStringLiteral("03/12/1998"), NomeAleatorio(gerador)}))
            return false;
    }
    return banco.commit();
}

// Milliseconds of the fastest and of the median of several runs.
void Mede(const char* descricao, const std::function<int()>& passo) {
    std::vector<double> tempos;
    int linhas = 0;
    for (int i = 0; i < Repeticoes; ++i) {
        QElapsedTimer cronometro;
        cronometro.start();
        linhas = passo();
        tempos.push_back(cronometro.nsecsElapsed() / 1e6);
    }
    std::sort(tempos.begin(), tempos.end());
    std::printf("%-52s %6d linhas  mín %8.2f ms  mediana %8.2f ms\n", descricao, linhas, tempos.front(),
                tempos[tempos.size() / 2]);
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
    QCoreApplication aplicacao(argc, argv);
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("Pager.Mdb"));
    QString erro;
    if (!CriaBancoVazio(caminho, &erro) || !AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path())) {
        std::fprintf(stderr, "lista_grande: %s\n", qPrintable(erro));
        return 1;
    }

    QElapsedTimer cronometro;
    cronometro.start();
    if (!PreencheUsuarios()) {
        std::fprintf(stderr, "lista_grande: não foi possível gravar os usuários\n");
        return 1;
    }
    std::printf("%d usuários gravados em %.1f ms (uma transação)\n", QuantidadeDeUsuarios,
                cronometro.nsecsElapsed() / 1e6);

    // Reopening includes the table and integrity checks.
    Mede("abertura do banco (AbreBancoDeDados)",
         [&pasta] { return AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()) ? 1 : 0; });
    Mede("consulta ordenada, ordem binária (referência)", [] {
        return PercorreConsulta(
            QStringLiteral("Select * from Usuarios Order by Nome_Usuario Collate Binary"));
    });
    Mede("consulta ordenada pela colação NOME", [] { return PercorreConsulta(Consultas::ListaUsuarios); });
    Mede("Snapshot da lista de usuários", [] { return Snapshot(Consultas::ListaUsuarios).RecordCount(); });
    Mede("Snapshot e leitura de Nome_Usuario linha a linha", [] {
        Snapshot lista(Consultas::ListaUsuarios);
        int linhas = 0;
        for (; !lista.Eof(); lista.MoveNext())
            linhas += lista.Campo(QStringLiteral("Nome_Usuario")).toString().isEmpty() ? 0 : 1;
        return linhas;
    });
    FechaBancoDeDados();
    return 0;
}
