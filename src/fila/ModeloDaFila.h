#pragma once
// The pages of the queue a person may want to see (waiting, in a call, failed, uncertain) as the
// rows of a grid, read again only when another program has written the database.
#include "fila/FilaDeEnvio.h"

#include <QAbstractTableModel>

class ModeloDaFila : public QAbstractTableModel {
public:
    // Refused and expired pages are listed this long after they were queued (a gateway gathers
    // them by the thousand); the history and bipvox-enviar --situacao keep them afterwards.
    static constexpr int DiasDasFalhas = 7;
    enum Coluna {
        ColPagina,
        ColDestinatario,
        ColOrigem,
        ColEnfileirada,
        ColSituacao,
        ColTentativas,
        ColProxima,
        ColMotivo,
        ColMensagem,
        NumeroDeColunas
    };

    explicit ModeloDaFila(QObject* pai = nullptr);

    // Reads the queue again; false (Erro() says why) when it cannot be read.
    bool Atualiza();
    // Reads it again only when another connection committed since the last reading.
    bool AtualizaSeMudou();
    const QString& Erro() const { return m_erro; }

    const Fila::Pagina* PaginaNaLinha(int linha) const;
    int LinhaDaPagina(qint64 id) const;

    int rowCount(const QModelIndex& pai = {}) const override;
    int columnCount(const QModelIndex& pai = {}) const override;
    QVariant data(const QModelIndex& indice, int papel = Qt::DisplayRole) const override;
    QVariant headerData(int secao, Qt::Orientation orientacao, int papel = Qt::DisplayRole) const override;

private:
    QVector<Fila::Pagina> m_paginas;
    QString m_erro;
    qint64 m_versao = -1;
};
