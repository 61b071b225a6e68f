#include "settings/Conexao.h"

#include "common/Win1252.h"
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

QString ProblemaDaSenha(const QString& senha) {
    for (const QChar c : senha)
        if (c.category() == QChar::Other_Control || DeWin1252(ParaWin1252(QString(c))) != QString(c))
            return QStringLiteral(
                       "A senha de acesso tem um caractere que não pode ser guardado nem enviado à "
                       "central (%1). Use só letras, números, sinais e brancos.")
                .arg(c.category() == QChar::Other_Control ? QStringLiteral("código %1").arg(c.unicode())
                                                          : QStringLiteral("\"%1\"").arg(c));
    return {};
}

void GravaSenhaDeAcesso(const QString& senha) {
    // A read drops blanks around a value and one pair of quotes around it: a password that
    // would lose either is stored inside quotes, which the read takes off again.
    const auto aspas = [](QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); };
    const bool protege =
        !senha.isEmpty() && (senha.front() == QLatin1Char(' ') || senha.back() == QLatin1Char(' ') ||
                             (senha.size() > 1 && aspas(senha.front()) && senha.back() == senha.front()));
    GravaINI(SecaoConexao, QStringLiteral("Senha"),
             protege ? QLatin1Char('"') + senha + QLatin1Char('"') : senha);
}

int RegrasDoTexto::TamanhoDoTexto() const {
    return divide ? MaiorTextoDividido : tamanhoDaPagina;
}

int BitsDeDados(const QString& configuracao) {
    bool ok = false;
    const int bits = configuracao.section(QLatin1Char(','), 2, 2).trimmed().toInt(&ok);
    return ok && bits >= 5 && bits <= 8 ? bits : 7;
}

RegrasDoTexto LeRegrasDoTexto() {
    // One reading of the file for all the keys: the SNPP gateway asks at every SEND.
    const LeituraINI ini;
    const auto le = [&ini](const QString& chave) { return ini.Le(SecaoConexao, chave, QString()); };
    RegrasDoTexto r;
    // A network connection carries whole bytes; only a serial line may lose the eighth bit.
    r.seteBits = le(QStringLiteral("Tipo")) != QLatin1String("TCP") &&
                 BitsDeDados(ini.Le(QStringLiteral("MODEM"), QStringLiteral("Configurações"),
                                    QStringLiteral("9600,e,7,1"))) < 8;
    r.win1252 = le(QStringLiteral("Texto")) == QLatin1String("Windows-1252");
    const QString controles = le(QStringLiteral("Controles"));
    if (controles == QLatin1String("Escape"))
        r.controles = ControlesNaLinha::Escape;
    else if (controles == QLatin1String("Branco"))
        r.controles = ControlesNaLinha::Branco;
    bool ok = false;
    const int tamanho = le(QStringLiteral("Tamanho da Página")).trimmed().toInt(&ok);
    if (ok && tamanho >= MenorPagina && tamanho <= MaiorPagina)
        r.tamanhoDaPagina = tamanho;
    r.divide = le(QStringLiteral("Texto Longo")) == QLatin1String("Dividir");
    return r;
}
