// The history window over 100 000 sent messages: time to open it (query, model, window shown),
// the memory it takes, and the cost of jumping to the end and of scrolling through every row.
// Run with QT_QPA_PLATFORM=offscreen for figures without a display.
#include "ApoioDoBench.h"
#include "common/Operador.h"
#include "history/ModeloDoHistorico.h"
#include "history/frmHistorico.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Esquema.h"
#include "store/Transacao.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr int Mensagens = 100000;

bool PreencheLog() {
    QRandomGenerator gerador(1998);
    Transacao transacao;
    for (int i = 0; i < Mensagens; ++i) {
        const int minuto = i / 3; // three pages a minute, spread over about two months
        const QString data = QStringLiteral("2026%1%2")
                                 .arg(10 + minuto / 1440 / 31, 2, 10, QLatin1Char('0'))
                                 .arg(1 + minuto / 1440 % 31, 2, 10, QLatin1Char('0'));
        const QString hora = QStringLiteral("%1:%2")
                                 .arg(minuto / 60 % 24, 2, 10, QLatin1Char('0'))
                                 .arg(minuto % 60, 2, 10, QLatin1Char('0'));
        const QString mensagem =
            QStringLiteral("Favor retornar a ligacao para o ramal %1 assim que possivel. ")
                .arg(gerador.bounded(9999))
                .repeated(2);
        if (!GravaLog(data, hora, QStringLiteral("Usuário %1").arg(gerador.bounded(500)), mensagem,
                      QString::number(1000000 + gerador.bounded(500)), gerador.bounded(500) + 1))
            return false;
    }
    return transacao.Confirma();
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("Pager.Mdb"));
    if (!CriaBancoVazio(caminho) || !AbreBancoDeDados(QStringLiteral("Pager.Mdb"), pasta.path()) ||
        !PreencheLog()) {
        std::printf("não foi possível preparar o banco\n");
        return 1;
    }
    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    OperadorCalado operador;
    app.processEvents();

    {
        QElapsedTimer consulta;
        consulta.start();
        const ModeloDoHistorico so(std::nullopt);
        std::printf("só a consulta que ordena as linhas: %.1f ms\n", consulta.nsecsElapsed() / 1e6);
    }
    const long memoriaAntes = MemoriaResidente();
    QElapsedTimer cronometro;
    cronometro.start();
    const bool aberto = ExibeHistorico(&area, operador, QString(), 0);
    app.processEvents(); // the window shown and painted
    const double abrir = cronometro.nsecsElapsed() / 1e6;
    const long memoriaAberto = MemoriaResidente();
    auto* grade = area.findChild<QTableView*>(QStringLiteral("grdGride"));
    if (!aberto || !grade) {
        std::printf("a janela não abriu\n");
        return 1;
    }
    std::printf("linhas no histórico: %d\n", grade->model()->rowCount());
    std::printf("abrir (consulta, modelo, janela pintada): %.1f ms\n", abrir);
    std::printf("memória ao abrir: %ld KiB a mais\n", memoriaAberto - memoriaAntes);

    cronometro.restart();
    grade->scrollToBottom();
    app.processEvents();
    std::printf("ir ao fim (Ctrl+End): %.1f ms\n", cronometro.nsecsElapsed() / 1e6);

    QScrollBar* barra = grade->verticalScrollBar();
    cronometro.restart();
    int telas = 0;
    for (int valor = 0; valor <= barra->maximum(); valor += barra->pageStep(), ++telas) {
        barra->setValue(valor);
        grade->viewport()->repaint();
    }
    const double rolar = cronometro.nsecsElapsed() / 1e6;
    std::printf("rolar tela a tela por tudo: %d telas em %.0f ms (%.2f ms por tela)\n", telas, rolar,
                rolar / telas);
    std::printf("memória depois de rolar: %ld KiB a mais que antes de abrir\n",
                MemoriaResidente() - memoriaAntes);
    return 0;
}
