#pragma once
// The messages the directory windows give when the store refuses a read or a change, or when
// another desk changed the same entry first.
#include "common/Operador.h"

#include <QString>

// acao completes "Não foi possível ..." ("excluir o grupo"); erro is the store's own reason.
void InformaFalhaNoBanco(Operador& operador, const QString& acao, const QString& erro);
// What another desk did first, and that nothing was written here.
void InformaOutraMesa(Operador& operador, const QString& texto);
