#include "fila/AvisoDaFila.h"

#include "modem/TravaDaPorta.h"
#include "store/BancoDeDados.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalSocket>
#include <QUrl>

namespace {

// Short enough for a socket path, the same for every program that opens the same file.
QString Marca() {
    return QString::fromLatin1(
        QCryptographicHash::hash(IdentidadeDoBanco().toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

} // namespace

QString EnderecoDoAviso() {
    return PastaDasTravas() + QStringLiteral("/bipvox-fila-") + Marca() + QStringLiteral(".sock");
}

QString TravaDoServico() {
    return PastaDasTravas() + QStringLiteral("/bipvox-servidor-") + Marca() + QStringLiteral(".lck");
}

void AvisaServicoDaFila() {
    QLocalSocket aviso;
    aviso.connectToServer(EnderecoDoAviso());
    if (!aviso.waitForConnected(500))
        return;
    aviso.write("!", 1);
    aviso.waitForBytesWritten(500);
    aviso.disconnectFromServer();
}
