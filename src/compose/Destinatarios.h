#pragma once
// The recipients the composition window lists: every user or every group, in name order, and
// the identifiers kept beside the list for the sending side.
#include "store/ListaDeNomes.h"

#include <QVector>

enum class TipoDeDestinatario { Usuario, Grupo };

ListaDeNomes LeDestinatarios(TipoDeDestinatario tipo);

// Zeroes CodigosDaLista and puts ids[i] at element i + 1, growing the array when the list is
// longer than its usual 5000 entries.
void PreencheCodigosDaLista(const QVector<qint32>& ids);
