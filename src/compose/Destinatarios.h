#pragma once
// The recipients the composition window lists: every user or every group, in name order, and
// the identifiers kept beside the list for the sending side.
#include <QString>
#include <QStringList>
#include <QVector>

enum class TipoDeDestinatario { Usuario, Grupo };

struct ListaDeDestinatarios {
    QStringList nomes;
    QVector<qint32> ids; // ids[i] belongs to nomes[i]
    QString erro;        // not empty when the store could not be read
};

ListaDeDestinatarios LeDestinatarios(TipoDeDestinatario tipo);

// Zeroes CodigosDaLista and puts ids[i] at element i + 1, growing the array when the list is
// longer than its usual 5000 entries.
void PreencheCodigosDaLista(const QVector<qint32>& ids);
