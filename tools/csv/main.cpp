// bipvox-csv: the directory and the history of Pager.Mdb out to CSV and back in, as the window's
// Arquivo menu does it.
#include "common/Csv.h"
#include "common/Modulo.h"
#include "directory/Planilhas.h"
#include "shell/LocalDoBanco.h"
#include "store/BancoDeDados.h"
#include "store/ChaveDeOrdem.h"
#include "store/Snapshot.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

enum Saida { Sucesso = 0, Recusado = 1, UsoIncorreto = 2, SemBanco = 4 };

const char* const TextoDeAjuda =
    "Uso: bipvox-csv exportar (usuarios | grupos | participacoes | historico) [opções] [--saida ARQUIVO]\n"
    "     bipvox-csv importar [--aplicar] [--banco ARQUIVO] ARQUIVO.csv...\n"
    "\n"
    "Exporta o cadastro ou o histórico do Pager.Mdb como CSV (UTF-8 com BOM, ';' entre os campos,\n"
    "datas dd/mm/aaaa), ou importa usuários, grupos, participações e histórico de arquivos CSV\n"
    "(';' ou ',', UTF-8 ou Windows-1252, a primeira linha nomeando as colunas; também os arquivos\n"
    "do mdb-export). Sem --aplicar, importar só mostra o que faria.\n"
    "\n"
    "  --saida ARQUIVO  grava nesse arquivo (padrão: a saída padrão)\n"
    "  --virgula        ',' entre os campos em vez de ';'\n"
    "  --de DD/MM/AAAA  histórico: só a partir dessa data\n"
    "  --ate DD/MM/AAAA histórico: só até essa data\n"
    "  --usuario NOME   histórico: só as mensagens desse usuário\n"
    "  --aplicar        importar: grava tudo numa transação, só se nenhuma linha for recusada\n"
    "  --banco ARQUIVO  o Pager.Mdb a usar (padrão: o mesmo do bipvox)\n"
    "  --help           mostra este texto (--version: a versão)\n"
    "\n"
    "Situação de saída: 0 feito; 1 linhas recusadas (nada foi importado) ou usuário não achado;\n"
    "2 uso incorreto; 4 banco de dados ou arquivo inacessível.\n";

int Erro(const QString& texto, Saida codigo) {
    std::fprintf(stderr, "bipvox-csv: %s\n", texto.toLocal8Bit().constData());
    return codigo;
}

bool Data(const QString& texto, QDate& data) {
    data = QDate::fromString(texto, QStringLiteral("dd/MM/yyyy"));
    return data.isValid();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    QStringList argumentos = aplicacao.arguments().mid(1);
    if (argumentos.contains(QStringLiteral("--help")) || argumentos.contains(QStringLiteral("-h"))) {
        std::fputs(TextoDeAjuda, stdout);
        return Sucesso;
    }
    if (argumentos.contains(QStringLiteral("--version")) || argumentos.contains(QStringLiteral("--versao"))) {
        std::printf("bipvox-csv (%s) %s\n", qPrintable(Modulo::NomeDoPrograma),
                    qPrintable(Modulo::VersaoDoPrograma));
        return Sucesso;
    }
    QString banco, saida, usuario, comando = argumentos.isEmpty() ? QString() : argumentos.takeFirst();
    QChar separador = QLatin1Char(';');
    bool aplicar = false;
    FiltroDoHistorico filtro;
    QStringList livres;
    for (int i = 0; i < argumentos.size(); ++i) {
        const QString& a = argumentos[i];
        const bool temValor = i + 1 < argumentos.size();
        if (a == QLatin1String("--virgula"))
            separador = QLatin1Char(',');
        else if (a == QLatin1String("--aplicar"))
            aplicar = true;
        else if (a == QLatin1String("--banco") && temValor)
            banco = argumentos[++i];
        else if (a == QLatin1String("--saida") && temValor)
            saida = argumentos[++i];
        else if (a == QLatin1String("--usuario") && temValor)
            usuario = argumentos[++i];
        else if ((a == QLatin1String("--de") || a == QLatin1String("--ate")) && temValor) {
            if (!Data(argumentos[++i], a == QLatin1String("--de") ? filtro.de : filtro.ate))
                return Erro(QStringLiteral("data inválida em %1: %2 (use DD/MM/AAAA)").arg(a, argumentos[i]),
                            UsoIncorreto);
        } else if (a.startsWith(QLatin1String("--")))
            return Erro(QStringLiteral("opção inválida: %1 (veja --help)").arg(a), UsoIncorreto);
        else
            livres << a;
    }
    const QStringList planilhas = {QStringLiteral("usuarios"), QStringLiteral("grupos"),
                                   QStringLiteral("participacoes"), QStringLiteral("historico")};
    const bool exportar =
        comando == QLatin1String("exportar") && livres.size() == 1 && planilhas.contains(livres[0]);
    if (!exportar && !(comando == QLatin1String("importar") && !livres.isEmpty()))
        return Erro(QStringLiteral("diga exportar e o que exportar, ou importar e os arquivos (veja --help)"),
                    UsoIncorreto);

    const AberturaDoBanco abertura = AbreBancoDoPrograma(banco);
    if (!abertura.aviso.isEmpty())
        Erro(abertura.aviso, Sucesso);
    if (!abertura.aberto)
        return Erro(QStringLiteral("não foi possível abrir o banco de dados %1. %2")
                        .arg(DescreveLocalDoBanco(abertura.local), abertura.erro),
                    SemBanco);

    if (exportar) {
        if (!usuario.isEmpty()) {
            Snapshot achados(QStringLiteral("Select ID_Usuario From Usuarios_Chave Where Chave = ?"),
                             {ChaveDeOrdem(usuario)});
            if (achados.RecordCount() != 1)
                return Erro(QStringLiteral("%1 usuário(s) com o nome \"%2\"; nada foi exportado.")
                                .arg(achados.RecordCount())
                                .arg(usuario),
                            Recusado);
            filtro.idUsuario = achados.Campo(QStringLiteral("ID_Usuario")).toInt();
        }
        QString erro;
        const QByteArray csv =
            EscreveCsv(LinhasParaExportar(Planilha(planilhas.indexOf(livres[0])), filtro, &erro), separador);
        if (!erro.isEmpty())
            return Erro(QStringLiteral("não foi possível ler o banco de dados: %1").arg(erro), SemBanco);
        if (saida.isEmpty())
            return std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout) == size_t(csv.size())
                       ? Sucesso
                       : SemBanco;
        QSaveFile arquivo(saida);
        if (!arquivo.open(QIODevice::WriteOnly) || arquivo.write(csv) != csv.size() || !arquivo.commit())
            return Erro(QStringLiteral("não foi possível gravar %1: %2").arg(saida, arquivo.errorString()),
                        SemBanco);
        return Sucesso;
    }

    QList<ArquivoCsv> arquivos;
    for (const QString& nome : livres) {
        QFile arquivo(nome);
        if (!arquivo.open(QIODevice::ReadOnly))
            return Erro(QStringLiteral("não foi possível ler %1: %2").arg(nome, arquivo.errorString()),
                        SemBanco);
        arquivos.append({nome, arquivo.readAll()});
    }
    const Importacao importacao =
        ImportaPlanilhas(arquivos, aplicar && ImportaPlanilhas(arquivos, false).Aplicavel());
    std::fprintf(stdout, "%s\n", importacao.Resumo().toLocal8Bit().constData());
    if (!importacao.Aplicavel())
        return Erro(QStringLiteral("nada foi importado."), importacao.erro.isEmpty() ? Recusado : SemBanco);
    std::fprintf(stdout, "%s\n",
                 aplicar ? "Importação gravada." : "Nada foi gravado: repita com --aplicar para importar.");
    return Sucesso;
}
