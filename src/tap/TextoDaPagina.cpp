#include "tap/TextoDaPagina.h"

#include "common/Win1252.h"

#include <QSet>

namespace {

struct Forma {
    char32_t codigo;
    const char* simples;
};

// What the decomposition below does not turn into ASCII: punctuation, symbols and the letters
// that are not a base letter plus marks. Every printable Windows-1252 character has a form.
constexpr Forma Formas[] = {
    {0x2018, "'"},  {0x2019, "'"},   {0x201A, "'"},  {0x201B, "'"},   {0x2032, "'"},   {0x00B4, "'"},
    {0x201C, "\""}, {0x201D, "\""},  {0x201E, "\""}, {0x201F, "\""},  {0x2033, "\""},  {0x00AB, "\""},
    {0x00BB, "\""}, {0x00A8, "\""},  {0x2039, "<"},  {0x203A, ">"},   {0x2010, "-"},   {0x2011, "-"},
    {0x2012, "-"},  {0x2013, "-"},   {0x2014, "-"},  {0x2015, "-"},   {0x2212, "-"},   {0x00AD, ""},
    {0x00AC, "-"},  {0x00AF, "-"},   {0x2022, "*"},  {0x00B7, "."},   {0x2020, "+"},   {0x2021, "+"},
    {0x00B0, "o"},  {0x20AC, "EUR"}, {0x00A3, "L"},  {0x00A2, "c"},   {0x00A5, "Y"},   {0x00A4, "$"},
    {0x0192, "f"},  {0x2030, "%"},   {0x02C6, "^"},  {0x02DC, "~"},   {0x00A1, "!"},   {0x00BF, "?"},
    {0x00B1, "+-"}, {0x00D7, "x"},   {0x00F7, "/"},  {0x00A9, "(C)"}, {0x00AE, "(R)"}, {0x00A6, "|"},
    {0x00A7, "S"},  {0x00B6, "P"},   {0x00B5, "u"},  {0x00B8, ","},   {0x00DF, "ss"},  {0x00C6, "AE"},
    {0x00E6, "ae"}, {0x00D8, "O"},   {0x00F8, "o"},  {0x0152, "OE"},  {0x0153, "oe"},  {0x00D0, "D"},
    {0x00F0, "d"},  {0x00DE, "TH"},  {0x00FE, "th"}, {0x00BC, "1/4"}, {0x00BD, "1/2"}, {0x00BE, "3/4"},
    {0x0141, "L"},  {0x0142, "l"},   {0x0110, "D"},  {0x0111, "d"},
};

const QString kCodigoSub = QString(QChar(26));

QString Caractere(char32_t codigo) {
    return QString::fromUcs4(&codigo, 1);
}

// How a character that cannot go is named to the operator: as itself when it shows.
QString NomeDoCaractere(char32_t codigo) {
    const QString c = Caractere(codigo);
    if (QChar::isPrint(codigo))
        return QLatin1Char('"') + c + QLatin1Char('"');
    return QStringLiteral("U+%1").arg(uint(codigo), 4, 16, QLatin1Char('0')).toUpper();
}

bool EhBranco(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\n');
}

// Greedy pages of at most tamanho characters numbered "(k/total) ", cut at a blank or line break
// when the next character is not one.
QStringList Divide(const QString& texto, int tamanho, int total) {
    QStringList paginas;
    qsizetype i = 0;
    while (i < texto.size()) {
        const QString prefixo = QStringLiteral("(%1/%2) ").arg(paginas.size() + 1).arg(total);
        const qsizetype cabe = tamanho - prefixo.size();
        qsizetype corte = std::min(cabe, texto.size() - i);
        qsizetype proximo = i + corte;
        if (proximo < texto.size() && !EhBranco(texto[proximo])) {
            for (qsizetype j = corte - 1; j > 0; --j) {
                if (EhBranco(texto[i + j])) {
                    corte = j;
                    proximo = i + j;
                    break;
                }
            }
        }
        paginas << prefixo + texto.mid(i, corte);
        i = proximo;
        // The blank at a cut belongs to neither page.
        if (i < texto.size() && EhBranco(texto[i]))
            ++i;
    }
    return paginas;
}

} // namespace

std::optional<QString> FormaSimples(char32_t codigo) {
    if (codigo < 0x80)
        return Caractere(codigo);
    for (const Forma& f : Formas)
        if (f.codigo == codigo)
            return QString::fromLatin1(f.simples);
    // A letter with marks is its base letter ("ô", "Ü"); a compatibility form its plain one ("º", "…", "™").
    QString simples;
    for (const QChar c : Caractere(codigo).normalized(QString::NormalizationForm_KD)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.unicode() >= 0x80 || c.unicode() < 0x20)
            return std::nullopt;
        simples += c;
    }
    if (simples.isEmpty())
        return std::nullopt;
    return simples;
}

QString TextoParaALinha(const QString& texto, const RegrasDoTexto& regras, QStringList* semForma) {
    QString saida;
    saida.reserve(texto.size());
    QSet<char32_t> vistos;
    for (const char32_t codigo : texto.toUcs4()) {
        if (codigo < 0x80 || (!regras.SoAscii() && CabeEmWin1252(codigo))) {
            saida += Caractere(codigo);
            continue;
        }
        if (const std::optional<QString> simples = FormaSimples(codigo)) {
            saida += *simples;
            continue;
        }
        saida += Caractere(codigo);
        if (semForma && !vistos.contains(codigo))
            *semForma << NomeDoCaractere(codigo);
        vistos.insert(codigo);
    }
    return saida;
}

QString AvisoDoTexto(const QString& erro) {
    return erro.left(1).toUpper() + erro.mid(1) + QStringLiteral(". Nada foi enviado.");
}

QString SemBrancos(const QString& texto) {
    qsizetype inicio = 0;
    qsizetype fim = texto.size();
    while (inicio < fim && texto[inicio] == QLatin1Char(' '))
        ++inicio;
    while (fim > inicio && texto[fim - 1] == QLatin1Char(' '))
        --fim;
    return texto.mid(inicio, fim - inicio);
}

bool PaginasDoTexto(const QString& texto, const RegrasDoTexto& regras, QStringList& paginas, QString& erro,
                    bool* longoDemais) {
    if (longoDemais)
        *longoDemais = false;
    QStringList semForma;
    QString linha = TextoParaALinha(texto, regras, &semForma);
    if (!semForma.isEmpty()) {
        erro = QStringLiteral("a mensagem tem caracteres que não podem ser enviados à central: %1; apague-os "
                              "ou troque-os por outros")
                   .arg(semForma.join(QStringLiteral(", ")));
        return false;
    }
    linha = SemBrancos(linha);
    // Blanks, line breaks and characters the line drops (a soft hyphen) would page a blank screen.
    if (linha.trimmed().isEmpty()) {
        erro =
            QStringLiteral("a mensagem não tem nada que possa ser enviado: só brancos, quebras de linha ou "
                           "caracteres que a linha descarta");
        return false;
    }
    const int tamanho = regras.tamanhoDaPagina;
    if (linha.size() > regras.TamanhoDoTexto()) {
        if (longoDemais)
            *longoDemais = true;
        erro = regras.divide ? QStringLiteral("a mensagem tem %1 caracteres; o limite é %2")
                                   .arg(linha.size())
                                   .arg(regras.TamanhoDoTexto())
                             : QStringLiteral("a mensagem tem %1 caracteres; a central aceita até %2 por "
                                              "página")
                                   .arg(linha.size())
                                   .arg(tamanho);
        return false;
    }
    if (linha.size() <= tamanho) {
        paginas = QStringList{linha};
        return true;
    }
    // The numbers' width depends on the count: settle on a count that numbers exactly its pages.
    int total = 2;
    for (int vez = 0; vez < 32; ++vez) {
        paginas = Divide(linha, tamanho, total);
        if (paginas.size() == total)
            break;
        total = int(paginas.size());
    }
    return true;
}

QString CampoDaMensagem(const QString& pagina, const RegrasDoTexto& regras) {
    QString campo;
    campo.reserve(pagina.size());
    for (const QChar c : pagina) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u != 0x7F) {
            campo += c;
        } else if (u == 0x7F || regras.controles == ControlesNaLinha::Branco) {
            campo += QLatin1Char(' ');
        } else if (regras.controles == ControlesNaLinha::Escape) {
            campo += kCodigoSub + QChar(u + 64);
        } else if (u == 2 || u == 3 || u == 4 || u == 13 || u == 23 || u == 26 || u == 27 || u == 31) {
            // Kept as they are, these would end the block or the field early.
            campo += QLatin1Char(' ');
        } else {
            campo += c;
        }
    }
    return campo;
}
