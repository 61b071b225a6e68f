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

namespace {
quint16 NumeroDaPorta(const QString& texto) {
    bool ok = false;
    const uint porta = texto.toUInt(&ok);
    return ok && porta >= 1 && porta <= 65535 ? quint16(porta) : 0;
}

QString TextoDaPorta() {
    return LeINI(SecaoConexao, QStringLiteral("Porta TCP"), QString()).trimmed();
}
} // namespace

QString LeEnderecoTCP() {
    const QString endereco = LeINI(SecaoConexao, QStringLiteral("Endereço"), QString()).trimmed();
    if (endereco.size() > 2 && endereco.startsWith(QLatin1Char('[')) && endereco.endsWith(QLatin1Char(']')))
        return endereco.mid(1, endereco.size() - 2);
    return endereco;
}

quint16 LePortaTCP() {
    return NumeroDaPorta(TextoDaPorta());
}

QString ProblemaDoDestinoTCP() {
    if (LeEnderecoTCP().isEmpty())
        return QStringLiteral("O endereço da central para a conexão TCP/IP não foi informado. Informe-o em "
                              "Opções Avançadas.");
    const QString porta = TextoDaPorta();
    if (NumeroDaPorta(porta) == 0)
        return QStringLiteral("A porta TCP da central, \"%1\", não é um número de 1 a 65535. Corrija-a em "
                              "Opções Avançadas.")
            .arg(porta);
    return {};
}

QString DestinoTCP() {
    const QString host = LeEnderecoTCP();
    // An IPv6 address is written in brackets so the port stays readable.
    return (host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host) + QLatin1Char(':') +
           QString::number(LePortaTCP());
}

QString LeSenhaDeAcesso() {
    return LeINI(SecaoConexao, QStringLiteral("Senha"), QString());
}
