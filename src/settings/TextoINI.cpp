// Reading follows GetPrivateProfileString:
// - section and key names match without regard to case (Unicode case folding); the first
//   section of a name is the one used, and the first key of a name inside it;
// - blanks (space, tab, CR, VT, FF, Ctrl-Z) around a section name inside its brackets, around a
//   key name and around the value are not part of them; a value wholly enclosed in a pair of
//   the same quote (' or ") loses the quotes and keeps the blanks inside them;
// - a section header ends at the last ']' of its line; a line starting with '[' but without
//   ']' is neither header nor key, so the keys below it stay in the section above;
// - lines starting with ';' are comments; a line without '=' is not a key;
// - a NUL character ends a value, as it ends a C string.
// Writing follows WritePrivateProfileString: the value is stored as given (a line break in it
// ends it, since a value is one line), in the key's own line, keeping the text up to the '='
// and the blanks after it; a new key goes after the last non-blank line of its section, a new
// section at the end of the file; new lines use the file's line ends (CRLF for a new file).
#include "settings/TextoINI.h"

namespace {

bool EhBranco(QChar c) {
    switch (c.unicode()) {
    case ' ':
    case '\t':
    case '\r':
    case '\v':
    case '\f':
    case 0x1A:
        return true;
    default:
        return false;
    }
}

QStringView Apara(QStringView texto) {
    qsizetype inicio = 0;
    qsizetype fim = texto.size();
    while (inicio < fim && EhBranco(texto[inicio]))
        ++inicio;
    while (fim > inicio && EhBranco(texto[fim - 1]))
        --fim;
    return texto.mid(inicio, fim - inicio);
}

bool MesmoNome(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::optional<QStringView> NomeDaSecao(QStringView linha) {
    const QStringView aparada = Apara(linha);
    if (!aparada.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype fecha = aparada.lastIndexOf(QLatin1Char(']'));
    if (fecha < 1)
        return std::nullopt;
    return Apara(aparada.mid(1, fecha - 1));
}

// Position of the '=' of a key line, -1 for any other line.
qsizetype IgualDaChave(QStringView linha) {
    const QStringView aparada = Apara(linha);
    if (aparada.isEmpty() || aparada.startsWith(QLatin1Char(';')) || aparada.startsWith(QLatin1Char('[')))
        return -1;
    const qsizetype igual = linha.indexOf(QLatin1Char('='));
    if (igual < 0 || Apara(linha.left(igual)).isEmpty())
        return -1;
    return igual;
}

QString ValorDaLinha(QStringView linha, qsizetype igual) {
    QStringView valor = linha.mid(igual + 1);
    const qsizetype nulo = valor.indexOf(QChar(0));
    if (nulo >= 0)
        valor = valor.left(nulo);
    valor = Apara(valor);
    if (valor.size() >= 2 && (valor.front() == QLatin1Char('"') || valor.front() == QLatin1Char('\'')) &&
        valor.back() == valor.front())
        valor = valor.mid(1, valor.size() - 2);
    return valor.toString();
}

bool EhLinhaBranca(QStringView linha) {
    return Apara(linha).isEmpty();
}

bool TemQuebra(QStringView texto) {
    return texto.contains(QLatin1Char('\n')) || texto.contains(QLatin1Char('\r'));
}

} // namespace

TextoINI::TextoINI(const QString& texto) : m_linhas(texto.split(QLatin1Char('\n'))) {
    const qsizetype primeiroLF = texto.indexOf(QLatin1Char('\n'));
    m_crlf = primeiroLF < 0 || (primeiroLF > 0 && texto[primeiroLF - 1] == QLatin1Char('\r'));
}

TextoINI::Local TextoINI::Localiza(QStringView secao, QStringView chave) const {
    Local local;
    const int total = static_cast<int>(m_linhas.size());
    for (int i = 0; i < total && local.cabecalho < 0; ++i) {
        const auto nome = NomeDaSecao(m_linhas[i]);
        if (nome && MesmoNome(*nome, secao))
            local.cabecalho = i;
    }
    if (local.cabecalho < 0)
        return local;
    local.ultimaCheia = local.cabecalho;
    for (int i = local.cabecalho + 1; i < total; ++i) {
        const QString& linha = m_linhas[i];
        if (NomeDaSecao(linha))
            break;
        if (!EhLinhaBranca(linha))
            local.ultimaCheia = i;
        const qsizetype igual = local.chave < 0 ? IgualDaChave(linha) : -1;
        if (igual >= 0 && MesmoNome(Apara(QStringView(linha).left(igual)), chave))
            local.chave = i;
    }
    return local;
}

std::optional<QString> TextoINI::Valor(const QString& secao, const QString& chave) const {
    const QStringView nomeSecao = Apara(secao);
    const QStringView nomeChave = Apara(chave);
    if (nomeSecao.isEmpty() || nomeChave.isEmpty())
        return std::nullopt;
    const Local local = Localiza(nomeSecao, nomeChave);
    if (local.chave < 0)
        return std::nullopt;
    const QString& linha = m_linhas[local.chave];
    return ValorDaLinha(linha, linha.indexOf(QLatin1Char('=')));
}

bool TextoINI::DefineValor(const QString& secao, const QString& chave, const QString& valor) {
    const QStringView nomeSecao = Apara(secao);
    const QStringView nomeChave = Apara(chave);
    if (nomeSecao.isEmpty() || nomeChave.isEmpty() || TemQuebra(secao) || TemQuebra(chave) ||
        nomeChave.contains(QLatin1Char('=')) || nomeChave.startsWith(QLatin1Char(';')) ||
        nomeChave.startsWith(QLatin1Char('[')))
        return false;
    qsizetype quebra = 0;
    while (quebra < valor.size() && valor[quebra] != QLatin1Char('\r') && valor[quebra] != QLatin1Char('\n'))
        ++quebra;
    const QString umaLinha = valor.left(quebra);

    const Local local = Localiza(nomeSecao, nomeChave);
    if (local.chave >= 0) {
        QString& linha = m_linhas[local.chave];
        qsizetype inicioDoValor = linha.indexOf(QLatin1Char('=')) + 1;
        // The old blanks after '=' stay only before a value with none of its own: otherwise a
        // value that starts with blanks would gain them again on every write.
        const bool valorComBrancos = !umaLinha.isEmpty() && EhBranco(umaLinha.front());
        while (!valorComBrancos && inicioDoValor < linha.size() &&
               (linha[inicioDoValor] == QLatin1Char(' ') || linha[inicioDoValor] == QLatin1Char('\t')))
            ++inicioDoValor;
        const bool tinhaCR = linha.endsWith(QLatin1Char('\r'));
        linha = linha.left(inicioDoValor) + umaLinha + (tinhaCR ? QStringLiteral("\r") : QString());
        return true;
    }
    TerminaUltimaLinha();
    const QString novaChave = ComFimDeLinha(nomeChave.toString() + QLatin1Char('=') + umaLinha);
    if (local.cabecalho >= 0) {
        m_linhas.insert(local.ultimaCheia + 1, novaChave);
    } else {
        // Before the empty remainder that follows the last line end.
        const qsizetype fim = m_linhas.size() - 1;
        m_linhas.insert(fim, novaChave);
        m_linhas.insert(fim, ComFimDeLinha(QLatin1Char('[') + nomeSecao.toString() + QLatin1Char(']')));
    }
    return true;
}

// Gives the last line its line end, so that new lines go after it.
void TextoINI::TerminaUltimaLinha() {
    if (m_linhas.last().isEmpty())
        return;
    m_linhas.last() = ComFimDeLinha(m_linhas.last());
    m_linhas.append(QString());
}

QString TextoINI::ComFimDeLinha(const QString& linha) const {
    if (m_crlf && !linha.endsWith(QLatin1Char('\r')))
        return linha + QLatin1Char('\r');
    return linha;
}
