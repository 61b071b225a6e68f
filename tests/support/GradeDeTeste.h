#pragma once
// What a grid shows of its texts, measured as the view's style measures them when it paints.
#include <QStringList>

class QTableView;

// The headings and the texts of one row that the grid would cut short (shown with "…").
QStringList TextosCortados(const QTableView* grade, int linha);
