// The settings file: any bytes an editor may leave are decoded, any key can be read, and a key
// written back reads as written while every other key keeps its value. The text encodes back to
// bytes that decode to the same text.
#include "Propriedade.h"
#include "settings/CodificacaoINI.h"
#include "settings/TextoINI.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

QString Nome(FuzzedDataProvider& entrada) {
    return QString::fromUtf8(QByteArray::fromStdString(entrada.ConsumeRandomLengthString(12)));
}

bool Branco(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\v') || c == QLatin1Char('\f') || c == QChar(0x1A);
}

QString SemBrancos(const QString& nome);

// What a reader finds after the value was written: its first line up to any NUL, without the
// blanks around it, and without a pair of quotes that encloses all of it.
QString Relido(const QString& valor) {
    qsizetype fim = 0;
    while (fim < valor.size() && valor[fim] != QLatin1Char('\r') && valor[fim] != QLatin1Char('\n') &&
           valor[fim] != QChar(0))
        ++fim;
    QString lido = SemBrancos(valor.left(fim));
    if (lido.size() >= 2 && (lido.front() == QLatin1Char('"') || lido.front() == QLatin1Char('\'')) &&
        lido.back() == lido.front())
        lido = lido.mid(1, lido.size() - 2);
    return lido;
}

QString SemBrancos(const QString& nome) {
    qsizetype inicio = 0;
    qsizetype fim = nome.size();
    while (inicio < fim && Branco(nome[inicio]))
        ++inicio;
    while (fim > inicio && Branco(nome[fim - 1]))
        --fim;
    return nome.mid(inicio, fim - inicio);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    FuzzedDataProvider entrada(dados, tamanho);
    const QString secao = Nome(entrada);
    const QString chave = Nome(entrada);
    const QString valor = QString::fromUtf8(QByteArray::fromStdString(entrada.ConsumeRandomLengthString(40)));
    const QString outraSecao = Nome(entrada);
    const QString outraChave = Nome(entrada);
    const std::string resto = entrada.ConsumeRemainingBytesAsString();
    const QByteArray bytes = QByteArray::fromStdString(resto);

    const CodificacaoINI codificacao = DetectaCodificacaoINI(bytes);
    const QString texto = DecodificaINI(bytes);
    PROPRIEDADE(DecodificaINI(CodificaINI(texto, codificacao)) == texto);

    TextoINI ini(texto);
    const std::optional<QString> outraAntes = ini.Valor(outraSecao, outraChave);
    if (!ini.DefineValor(secao, chave, valor))
        return 0;
    PROPRIEDADE(ini.Valor(secao, chave) == Relido(valor));
    // The text as it would be saved and read again holds the same.
    const TextoINI relido(DecodificaINI(CodificaINI(ini.Texto(), codificacao)));
    PROPRIEDADE(relido.Valor(secao, chave) == ini.Valor(secao, chave) ||
                codificacao == CodificacaoINI::Win1252);
    const bool mesma = SemBrancos(secao).compare(SemBrancos(outraSecao), Qt::CaseInsensitive) == 0 &&
                       SemBrancos(chave).compare(SemBrancos(outraChave), Qt::CaseInsensitive) == 0;
    if (!mesma)
        PROPRIEDADE(ini.Valor(outraSecao, outraChave) == outraAntes);
    return 0;
}
