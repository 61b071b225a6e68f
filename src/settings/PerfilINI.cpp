// The settings file is one file, Bipvoxcf.INI, read at every use and never cached.
//
// Encoding: the program writes Windows-1252. A file that starts with a UTF-8 byte-order mark,
// or that is valid UTF-8 holding at least one multi-byte sequence (a text editor saved it as
// UTF-8), is read as UTF-8 so that "OPÇÕES" still matches; the next write rewrites the whole
// file in Windows-1252 without the mark, so the file converges to the one format.
//
// Reading: see TextoINI.cpp for the line rules. The value used is cut to its first 99
// characters, as the 100-character buffer of GetPrivateProfileString cuts it; the reader's
// default loses its trailing blanks and is cut the same way.
//
// Writing: a write that cannot be done is silently skipped and never damages the file: the
// new text goes to a temporary file in the same directory that then replaces the old one, and
// a file that exists but cannot be read is not rewritten at all.
#include "settings/PerfilINI.h"

#include "common/Win1252.h"
#include "settings/CodificacaoINI.h"
#include "settings/TextoINI.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <optional>

namespace {

constexpr qsizetype kTamanhoDoValor = 99;
// Far beyond any settings file; a larger one is left alone rather than loaded whole.
constexpr qint64 kMaiorArquivo = 32 * 1024 * 1024;

// The file's bytes, empty when it does not exist, nothing when it exists but cannot be read.
std::optional<QByteArray> LeArquivo(const QString& caminho) {
    QFile arquivo(caminho);
    if (!arquivo.exists())
        return QByteArray();
    if (!arquivo.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = arquivo.read(kMaiorArquivo + 1);
    if (arquivo.error() != QFileDevice::NoError || bytes.size() > kMaiorArquivo)
        return std::nullopt;
    return bytes;
}

QString PadraoDoLeitor(const QString& padrao) {
    qsizetype fim = padrao.size();
    while (fim > 0 && padrao[fim - 1] == QLatin1Char(' '))
        --fim;
    return padrao.left(fim);
}

} // namespace

QString CaminhoDoINI(const QString& arquivo) {
#ifdef Q_OS_WIN
    QString diretorio = qEnvironmentVariable("WINDIR");
    if (diretorio.isEmpty())
        diretorio = qEnvironmentVariable("SystemRoot", QStringLiteral("C:/Windows"));
    diretorio = QDir::fromNativeSeparators(diretorio);
#else
    const QString diretorio = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
    return QDir(diretorio).filePath(arquivo);
}

QString LeINI(const QString& secao, const QString& chave, const QString& padrao, const QString& arquivo) {
    std::optional<QString> valor;
    if (const auto bytes = LeArquivo(CaminhoDoINI(arquivo)); bytes && !bytes->isEmpty())
        valor = TextoINI(DecodificaINI(*bytes)).Valor(secao, chave);
    return (valor ? *valor : PadraoDoLeitor(padrao)).left(kTamanhoDoValor);
}

void GravaINI(const QString& secao, const QString& chave, const QString& valor, const QString& arquivo) {
    const QString caminho = CaminhoDoINI(arquivo);
    const auto atual = LeArquivo(caminho);
    if (!atual)
        return;
    TextoINI texto(DecodificaINI(*atual));
    if (!texto.DefineValor(secao, chave, valor))
        return;
    const QByteArray novo = ParaWin1252(texto.Texto());
    if (novo == *atual)
        return;
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    QSaveFile destino(caminho);
    if (!destino.open(QIODevice::WriteOnly))
        return;
    if (destino.write(novo) != novo.size())
        destino.cancelWriting();
    destino.commit();
}
