#pragma once
// The sent-message history as a table model that reads lazily: opening runs only the query that
// orders the rows (their row numbers); the cells of a row are read when a view first shows it,
// a page at a time, and only the pages seen lately are kept. So any number of Log rows opens
// at once and scrolls smoothly.
#include <QAbstractTableModel>
#include <QCache>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class ModeloDoHistorico : public QAbstractTableModel {
public:
    enum Coluna { Data, Hora, Usuario, Mensagem, Codigo, Situacao, Origem, Colunas };

    // Every message (idUsuario empty) or those sent to one user, ordered by date, time and name.
    explicit ModeloDoHistorico(std::optional<qint32> idUsuario, QObject* pai = nullptr);

    // Empty unless the store refused the query.
    QString Erro() const { return m_erro; }

    int rowCount(const QModelIndex& pai = {}) const override;
    int columnCount(const QModelIndex& pai = {}) const override;
    QVariant data(const QModelIndex& indice, int papel = Qt::DisplayRole) const override;
    QVariant headerData(int secao, Qt::Orientation orientacao, int papel = Qt::DisplayRole) const override;

    // Width of a column on the screen of the program's design, in twips.
    static int LarguraEmTwips(int coluna);
    // The widest text the column usually shows, which it must show whole; empty when its
    // designed width is enough.
    static QString ExemploMaisLargo(int coluna);

private:
    using Pagina = QVector<QStringList>;
    const Pagina* PaginaDaLinha(int linha) const;

    QVector<qint64> m_linhas; // rowid of each Log row, in display order
    mutable QCache<int, Pagina> m_paginas;
    QString m_erro;
};

// "yyyymmdd" as "dd/mm/yyyy", by moving its characters.
QString DataDoHistorico(const QString& data);
