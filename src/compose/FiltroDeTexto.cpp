#include "compose/FiltroDeTexto.h"

namespace {
struct Troca {
    char16_t acentuada;
    char16_t simples;
};

// Only these letters are replaced; "ô", "Â", "Ê", "Ô", "À", "Ü" and the like stay as typed.
constexpr Troca Trocas[] = {
    {u'á', u'a'}, {u'é', u'e'}, {u'í', u'i'}, {u'ó', u'o'}, {u'ú', u'u'}, {u'ê', u'e'},
    {u'â', u'a'}, {u'ü', u'u'}, {u'ç', u'c'}, {u'Á', u'A'}, {u'É', u'E'}, {u'Í', u'I'},
    {u'Ó', u'O'}, {u'Ú', u'U'}, {u'Ã', u'A'}, {u'ã', u'a'}, {u'Õ', u'O'}, {u'õ', u'o'},
    {u'Ç', u'C'}, {u'ñ', u'n'}, {u'Ñ', u'N'}, {u'à', u'a'},
};
} // namespace

QChar FiltraTeclaDigitada(QChar tecla) {
    for (const Troca& troca : Trocas)
        if (tecla.unicode() == troca.acentuada)
            return QChar(troca.simples);
    return tecla;
}

bool PedeMensagemAnterior(const QString& texto) {
    return texto.toUpper() == QLatin1String("=ANTERIOR");
}
