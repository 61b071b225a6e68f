#include "store/ChaveDeOrdem.h"

#include "store/BancoDeDados.h"

#include <QSqlQuery>

#include <QStringList>

#include <iterator>

namespace {

struct Troca {
    char16_t de;
    char16_t para;
};

// Capitals to small letters. Not lower(): a SQLite built with ICU changes more letters with it,
// and a key must read the same in every build.
constexpr Troca Minusculas[] = {
    {u'A', u'a'}, {u'B', u'b'}, {u'C', u'c'}, {u'D', u'd'}, {u'E', u'e'}, {u'F', u'f'}, {u'G', u'g'},
    {u'H', u'h'}, {u'I', u'i'}, {u'J', u'j'}, {u'K', u'k'}, {u'L', u'l'}, {u'M', u'm'}, {u'N', u'n'},
    {u'O', u'o'}, {u'P', u'p'}, {u'Q', u'q'}, {u'R', u'r'}, {u'S', u's'}, {u'T', u't'}, {u'U', u'u'},
    {u'V', u'v'}, {u'W', u'w'}, {u'X', u'x'}, {u'Y', u'y'}, {u'Z', u'z'}, {u'À', u'à'}, {u'Á', u'á'},
    {u'Â', u'â'}, {u'Ã', u'ã'}, {u'Ä', u'ä'}, {u'Å', u'å'}, {u'Ç', u'ç'}, {u'È', u'è'}, {u'É', u'é'},
    {u'Ê', u'ê'}, {u'Ë', u'ë'}, {u'Ì', u'ì'}, {u'Í', u'í'}, {u'Î', u'î'}, {u'Ï', u'ï'}, {u'Ñ', u'ñ'},
    {u'Ò', u'ò'}, {u'Ó', u'ó'}, {u'Ô', u'ô'}, {u'Õ', u'õ'}, {u'Ö', u'ö'}, {u'Ù', u'ù'}, {u'Ú', u'ú'},
    {u'Û', u'û'}, {u'Ü', u'ü'}, {u'Ý', u'ý'}};

// Small letters with accents to their letter: the first level of the order.
constexpr Troca SemAcentos[] = {
    {u'à', u'a'}, {u'á', u'a'}, {u'â', u'a'}, {u'ã', u'a'}, {u'ä', u'a'}, {u'å', u'a'}, {u'ç', u'c'},
    {u'è', u'e'}, {u'é', u'e'}, {u'ê', u'e'}, {u'ë', u'e'}, {u'ì', u'i'}, {u'í', u'i'}, {u'î', u'i'},
    {u'ï', u'i'}, {u'ñ', u'n'}, {u'ò', u'o'}, {u'ó', u'o'}, {u'ô', u'o'}, {u'õ', u'o'}, {u'ö', u'o'},
    {u'ù', u'u'}, {u'ú', u'u'}, {u'û', u'u'}, {u'ü', u'u'}, {u'ý', u'y'}, {u'ÿ', u'y'}};

// SQLite's parser takes only about 30 nested calls, so the replacements go in steps of at most
// this many, one subquery each.
constexpr std::size_t PorEtapa = 14;

template <std::size_t N> QString Substitui(QString expressao, const Troca (&tabela)[N], std::size_t inicio) {
    for (std::size_t i = inicio; i < N && i < inicio + PorEtapa; ++i)
        expressao = QStringLiteral("replace(%1,'%2','%3')")
                        .arg(expressao, QString(QChar(tabela[i].de)), QString(QChar(tabela[i].para)));
    return expressao;
}

} // namespace

QString ChaveDeOrdemSQL(const QString& operando) {
    // m: the name in small letters; p: the same without accents.
    QString consulta;
    const auto etapa = [&consulta](const QString& colunas) {
        consulta = consulta.isEmpty() ? QStringLiteral("SELECT %1").arg(colunas)
                                      : QStringLiteral("SELECT %1 FROM (%2)").arg(colunas, consulta);
    };
    for (std::size_t i = 0; i < std::size(Minusculas); i += PorEtapa)
        etapa(Substitui(i == 0 ? operando : QStringLiteral("m"), Minusculas, i) + QStringLiteral(" AS m"));
    for (std::size_t i = 0; i < std::size(SemAcentos); i += PorEtapa)
        etapa(QStringLiteral("m, ") +
              Substitui(i == 0 ? QStringLiteral("m") : QStringLiteral("p"), SemAcentos, i) +
              QStringLiteral(" AS p"));
    return QStringLiteral("(SELECT p||char(1)||m FROM (%1))").arg(consulta);
}

template <std::size_t N> QString Traducao(const QString& operando, const Troca (&tabela)[N]) {
    QString de, para;
    for (const Troca& troca : tabela) {
        de += QChar(troca.de);
        para += QChar(troca.para);
    }
    return QStringLiteral("translate(%1,'%2','%3')").arg(operando, de, para);
}

QString ChaveDeOrdemPostgreSQL(const QString& operando) {
    // Each letter has one replacement and no replacement is replaced again, so translate() gives
    // what SQLite's chain of replace() does.
    const QString m = Traducao(operando, Minusculas);
    return QStringLiteral("%1||chr(1)||%2").arg(Traducao(m, SemAcentos), m);
}

QString ChaveDeOrdem(const QString& nome) {
    if (!BancoDeDadosAberto())
        return {};
    // Kept prepared: parsing the file's chain of replace() took longer than a whole SNPP PAGE.
    static const QString sqlite = QStringLiteral("SELECT ") + ChaveDeOrdemSQL(QStringLiteral("?"));
    QSqlQuery* consulta = ComandoGuardado(
        MotorDoBanco() == Motor::PostgreSQL ? QStringLiteral("SELECT bipvox_chave(?)") : sqlite);
    if (!consulta)
        return {};
    consulta->bindValue(0, nome.isNull() ? QStringLiteral("") : nome);
    const QString chave = consulta->exec() && consulta->next() ? consulta->value(0).toString() : QString();
    consulta->finish();
    return chave;
}
