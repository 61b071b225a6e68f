#pragma once
// A table's rows as an array of structs named by their first member; the row's index is the
// table's only column.
#include <QtTest>

template <typename Linha, size_t N> void Linhas(const Linha (&linhas)[N]) {
    QTest::addColumn<int>("i");
    for (size_t i = 0; i < N; ++i)
        QTest::newRow(linhas[i].nome) << int(i);
}
// The current row of the table.
template <typename Linha, size_t N> const Linha& LinhaAtual(const Linha (&linhas)[N]) {
    QFETCH(int, i);
    return linhas[i];
}
