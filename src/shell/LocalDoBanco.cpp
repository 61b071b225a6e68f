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

AberturaDoBanco AbreBancoDoPrograma(const QString& opcao) {
    AberturaDoBanco abertura;
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
    case OrigemDoBanco::Opcao:
        break;
    }
    return caminho;
}
