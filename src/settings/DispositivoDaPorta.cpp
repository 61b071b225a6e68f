#include "settings/DispositivoDaPorta.h"

#include "settings/PerfilINI.h"

QString DispositivoDaPorta(qint16 numero) {
    if (numero < 1)
        return {};
    const QString configurado =
        LeINI(QStringLiteral("MODEM"), QStringLiteral("COM") + QString::number(numero), QString());
    if (!configurado.isEmpty())
        return configurado;
    if (numero > 4)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM") + QString::number(numero);
#else
    return QStringLiteral("/dev/ttyS") + QString::number(numero - 1);
#endif
}
