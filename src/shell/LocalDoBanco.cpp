#include "shell/LocalDoBanco.h"

#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString kArquivo = QStringLiteral("Pager.Mdb");
} // namespace

LocalDoBanco EscolheLocalDoBanco(const QString& opcao, const QString& configurado,
                                 const QString& pastaDoPrograma, const QString& pastaDoINI,
                                 const QString& pastaDeDados) {
    if (!opcao.trimmed().isEmpty())
        return {QDir::current().absoluteFilePath(opcao.trimmed()), OrigemDoBanco::Opcao};
    if (!configurado.trimmed().isEmpty())
        return {QDir(pastaDoINI).absoluteFilePath(configurado.trimmed()), OrigemDoBanco::Configuracao};
    const QString aoLado = QDir(pastaDoPrograma).absoluteFilePath(kArquivo);
    // A dangling link beside the program still marks the portable layout: it must fail, not move.
    if (QFileInfo::exists(aoLado) || QFileInfo(aoLado).isSymLink())
        return {aoLado, OrigemDoBanco::AoLadoDoPrograma};
    return {QDir(pastaDeDados).absoluteFilePath(QStringLiteral("bipvox/") + kArquivo),
            OrigemDoBanco::PastaDoUsuario};
}

LocalDoBanco LocalDoBancoDoPrograma(const QString& opcao) {
    return EscolheLocalDoBanco(opcao, LeINI(QStringLiteral("BANCO"), QStringLiteral("Arquivo"), QString()),
                               QCoreApplication::applicationDirPath(),
                               QFileInfo(CaminhoDoINI()).absolutePath(),
                               QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

std::optional<ConexaoPostgreSQL> ServidorConfigurado(QString* erro) {
    const auto chave = [](const char* nome, const QString& padrao = QString()) {
        const QString valor = LeINI(QStringLiteral("BANCO"), QLatin1String(nome), QString()).trimmed();
        return valor.isEmpty() ? padrao : valor;
    };
    const QString tipo = chave("Tipo", QStringLiteral("SQLite"));
    if (tipo.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    if (tipo.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) != 0) {
        if (erro)
            *erro = QStringLiteral("Tipo=%1 na seção [BANCO] de Bipvoxcf.INI: o tipo do banco é SQLite ou "
                                   "PostgreSQL.")
                        .arg(tipo);
        return std::nullopt;
    }
    ConexaoPostgreSQL conexao;
    conexao.servidor = chave("Servidor", conexao.servidor);
    conexao.banco = chave("Banco", conexao.banco);
    conexao.usuario = chave("Usuario");
    bool ok = true;
    const QString porta = chave("Porta", QString::number(conexao.porta));
    conexao.porta = porta.toInt(&ok);
    if (!ok || conexao.porta < 1 || conexao.porta > 65535) {
        if (erro)
            *erro = QStringLiteral("Porta=%1 na seção [BANCO] de Bipvoxcf.INI não é um número de 1 a 65535.")
                        .arg(porta);
        return std::nullopt;
    }
    return conexao;
}

AberturaDoBanco AbreBancoDoPrograma(const QString& opcao) {
    AberturaDoBanco abertura;
    if (opcao.trimmed().isEmpty()) {
        const std::optional<ConexaoPostgreSQL> servidor = ServidorConfigurado(&abertura.erro);
        if (servidor || !abertura.erro.isEmpty()) {
            abertura.local = {servidor ? servidor->Descricao()
                                       : QStringLiteral("seção [BANCO] de Bipvoxcf.INI"),
                              OrigemDoBanco::Servidor};
            abertura.aberto = servidor && AbreBancoPostgreSQL(*servidor, &abertura.erro);
            return abertura;
        }
    }
    abertura.local = LocalDoBancoDoPrograma(opcao);
    const QFileInfo arquivo(abertura.local.caminho);
    // Only the per-user file is made here: a named or portable file that is missing is a mistake
    // to report, not a new empty history to start.
    if (abertura.local.origem == OrigemDoBanco::PastaDoUsuario && !arquivo.exists() && !arquivo.isSymLink()) {
        abertura.criado = QDir().mkpath(arquivo.absolutePath()) && CriaBancoVazio(arquivo.absoluteFilePath());
    }
    abertura.aberto =
        AbreBancoDeDados(arquivo.fileName(), arquivo.absolutePath(), &abertura.erro, &abertura.aviso);
    return abertura;
}

QString DescreveLocalDoBanco(const LocalDoBanco& local) {
    const QString caminho = QDir::toNativeSeparators(local.caminho);
    switch (local.origem) {
    case OrigemDoBanco::AoLadoDoPrograma:
        return QStringLiteral("%1 (ao lado do programa)").arg(caminho);
    case OrigemDoBanco::Configuracao:
        return QStringLiteral("%1 (chave Arquivo da seção [BANCO] de Bipvoxcf.INI)").arg(caminho);
    case OrigemDoBanco::PastaDoUsuario:
        return QStringLiteral("%1 (pasta de dados do usuário)").arg(caminho);
    case OrigemDoBanco::Servidor:
        return local.caminho + QStringLiteral(" (seção [BANCO] de Bipvoxcf.INI)");
    case OrigemDoBanco::Opcao:
        break;
    }
    return caminho;
}
