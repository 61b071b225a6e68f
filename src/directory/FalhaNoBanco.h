#pragma once
// The message the directory windows give when the store refuses a read or a change.
#include "common/Operador.h"

#include <QString>

// acao completes "Não foi possível ..." ("excluir o grupo"); erro is the store's own reason.
void InformaFalhaNoBanco(Operador& operador, const QString& acao, const QString& erro);
