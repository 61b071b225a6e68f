#include "common/Modulo.h"

namespace Modulo {
qint16 PortaModem = 0;
bool EnvioIniciado = false;
QVector<qint32> CodigosDaLista(MinCodigosDaLista + 1, 0);
QString MensagemEnvio;
} // namespace Modulo
