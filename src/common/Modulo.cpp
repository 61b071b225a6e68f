#include "common/Modulo.h"

namespace Modulo {
qint16 PortaModem = 0;
bool EnvioIniciado = false;
std::array<qint32, MaxCodigosDaLista + 1> CodigosDaLista{};
QString MensagemEnvio;
} // namespace Modulo
