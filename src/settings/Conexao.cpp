#include "settings/Conexao.h"

#include "settings/PerfilINI.h"

TipoDeConexao LeTipoDeConexao() {
    const QString tipo = LeINI(SecaoConexao, QStringLiteral("Tipo"), QStringLiteral("Modem"));
    if (tipo == QLatin1String("Direta"))
        return TipoDeConexao::Direta;
    if (tipo == QLatin1String("TCP"))
        return TipoDeConexao::TCP;
    return TipoDeConexao::Modem;
}

QString NomeDoTipo(TipoDeConexao tipo) {
    switch (tipo) {
    case TipoDeConexao::Direta:
        return QStringLiteral("Direta");
    case TipoDeConexao::TCP:
        return QStringLiteral("TCP");
    case TipoDeConexao::Modem:
        break;
    }
    return QStringLiteral("Modem");
}

QString LeEnderecoTCP() {
    return LeINI(SecaoConexao, QStringLiteral("Endereço"), QString()).trimmed();
}

quint16 LePortaTCP() {
    bool ok = false;
    const uint porta = LeINI(SecaoConexao, QStringLiteral("Porta TCP"), QString()).trimmed().toUInt(&ok);
    return ok && porta >= 1 && porta <= 65535 ? quint16(porta) : 0;
}

QString LeSenhaDeAcesso() {
    return LeINI(SecaoConexao, QStringLiteral("Senha"), QString());
}
