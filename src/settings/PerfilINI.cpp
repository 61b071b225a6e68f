// The settings file is one file, Bipvoxcf.INI, read at every use and never cached.
//
// Encoding: the program writes Windows-1252. A file that starts with a UTF-8 byte-order mark,
// or that is valid UTF-8 holding at least one multi-byte sequence (a text editor saved it as
// UTF-8), is read as UTF-8 so that "OPÇÕES" still matches. A write keeps the encoding the file
// was read with, so no other key reads differently afterwards.
//
// Privacy: a file that holds a log-on password is written readable by its owner only.
//
// Size: a file over TamanhoMaximoDoINI is refused (every key reads its default, and the dialler
// tells the operator why), and a write that would make the file larger is not done.
//
// Reading: see TextoINI.cpp for the line rules. The value used is cut to its first 99
// characters, as the 100-character buffer of GetPrivateProfileString cuts it; the reader's
// default loses its trailing blanks and is cut the same way.
//
// Writing: a write that cannot be done is silently skipped and never damages the file: the
// new text goes to a temporary file in the same directory that then replaces the old one, and
// a file that exists but cannot be read is not rewritten at all.
#include "settings/PerfilINI.h"

#include "settings/CodificacaoINI.h"
#include "settings/Conexao.h"
#include "settings/TextoINI.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <optional>

namespace {

constexpr qsizetype kTamanhoDoValor = 99;

// The file's bytes, empty when it does not exist, nothing (and why, in problema) when it exists
// but cannot be read or is too large. Reads only what the file holds.
std::optional<QByteArray> LeArquivo(const QString& caminho, QString* problema = nullptr) {
    QFile arquivo(caminho);
    if (!arquivo.exists())
        return QByteArray();
    QString motivo;
    std::optional<QByteArray> bytes;
    if (arquivo.size() > TamanhoMaximoDoINI)
        motivo = QStringLiteral("tem %1 KB, muito mais do que um arquivo de configuração pode ter (o "
                                "limite é %2 KB)")
                     .arg(arquivo.size() / 1024)
                     .arg(TamanhoMaximoDoINI / 1024);
    else if (!arquivo.open(QIODevice::ReadOnly))
        motivo = QStringLiteral("não pôde ser lido (sem permissão de leitura?)");
    else if (bytes = arquivo.read(TamanhoMaximoDoINI + 1);
             arquivo.error() != QFileDevice::NoError || bytes->size() > TamanhoMaximoDoINI)
        motivo = QStringLiteral("não pôde ser lido por inteiro");
    if (motivo.isEmpty())
        return bytes;
    if (problema)
        *problema = QStringLiteral("O arquivo de configuração %1 %2. Ele não foi usado: corrija-o ou "
                                   "apague-o e configure o modem de novo.")
                        .arg(QDir::toNativeSeparators(caminho), motivo);
    return std::nullopt;
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

LeituraINI::LeituraINI(const QString& arquivo) {
    if (const auto bytes = LeArquivo(CaminhoDoINI(arquivo), &m_problema); bytes && !bytes->isEmpty())
        m_texto.emplace(DecodificaINI(*bytes));
}

QString LeituraINI::Le(const QString& secao, const QString& chave, const QString& padrao) const {
    std::optional<QString> valor;
    if (m_texto)
        valor = m_texto->Valor(secao, chave);
    return (valor ? *valor : PadraoDoLeitor(padrao)).left(kTamanhoDoValor);
}

QString LeINI(const QString& secao, const QString& chave, const QString& padrao, const QString& arquivo) {
    return LeituraINI(arquivo).Le(secao, chave, padrao);
}

void GravaINI(const QString& secao, const QString& chave, const QString& valor, const QString& arquivo) {
    const QString caminho = CaminhoDoINI(arquivo);
    const auto atual = LeArquivo(caminho);
    if (!atual)
        return;
    TextoINI texto(DecodificaINI(*atual));
    if (!texto.DefineValor(secao, chave, valor))
        return;
    const QByteArray novo = CodificaINI(texto.Texto(), DetectaCodificacaoINI(*atual));
    // Past the limit the whole file would be refused: better this one key unwritten.
    if (novo == *atual || novo.size() > TamanhoMaximoDoINI)
        return;
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    QSaveFile destino(caminho);
    if (!destino.open(QIODevice::WriteOnly))
        return;
    // A file holding the terminal's password is for its owner only (set on the new file, so the
    // password is never readable by others, not even for a moment).
    if (!texto.Valor(SecaoConexao, QStringLiteral("Senha")).value_or(QString()).isEmpty())
        destino.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (destino.write(novo) != novo.size())
        destino.cancelWriting();
    destino.commit();
}
