#include "compose/FiltroDeTexto.h"

bool PedeMensagemAnterior(const QString& texto) {
    return texto.toUpper() == QLatin1String("=ANTERIOR");
}
