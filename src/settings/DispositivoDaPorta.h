#pragma once
#include <QString>

// The device behind a COM port number: the "MODEM" section's key "COMn" when present (a USB
// modem, a pseudo-terminal), else the platform's name for COM1 to COM4 ("COMn" on Windows,
// /dev/ttyS(n-1) elsewhere). Empty, so that opening fails, for any other number without a key.
QString DispositivoDaPorta(qint16 numero);
