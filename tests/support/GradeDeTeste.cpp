#include "GradeDeTeste.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>

QStringList TextosCortados(const QTableView* grade, int linha) {
    QStringList cortados;
    const QHeaderView* cabecalho = grade->horizontalHeader();
    // What the view keeps on each side of a cell's text, and a heading's margin.
    const int margem = grade->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grade) + 1;
    const int margemDoTitulo = grade->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, cabecalho);
    for (int coluna = 0; coluna < grade->model()->columnCount(); ++coluna) {
        const QModelIndex celula = grade->model()->index(linha, coluna);
        const QString titulo = grade->model()->headerData(coluna, Qt::Horizontal).toString();
        const QString texto = celula.data().toString();
        if (cabecalho->fontMetrics().elidedText(
                titulo, Qt::ElideRight, cabecalho->sectionSize(coluna) - 2 * margemDoTitulo) != titulo)
            cortados << titulo;
        if (grade->fontMetrics().elidedText(texto, Qt::ElideRight,
                                            grade->visualRect(celula).width() - 2 * margem) != texto)
            cortados << texto;
    }
    return cortados;
}
