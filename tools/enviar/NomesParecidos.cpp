#include "NomesParecidos.h"

#include <QCollator>
#include <QLocale>
#include <QVector>

#include <algorithm>
#include <array>

namespace {

// Edit distance, or limite + 1 once it is certain to be over limite: only a band around the
// diagonal is computed, so 50 000 names cost little.
int Distancia(const QString& a, const QString& b, int limite) {
    const int n = int(a.size());
    const int m = int(b.size());
    if (std::abs(n - m) > limite)
        return limite + 1;
    QVector<int> anterior(m + 1), atual(m + 1);
    for (int j = 0; j <= m; ++j)
        anterior[j] = j;
    for (int i = 1; i <= n; ++i) {
        atual.fill(limite + 1);
        atual[0] = i;
        int menor = atual[0];
        for (int j = std::max(1, i - limite); j <= std::min(m, i + limite); ++j) {
            const int troca = anterior[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            atual[j] = std::min({troca, anterior[j] + 1, atual[j - 1] + 1});
            menor = std::min(menor, atual[j]);
        }
        if (menor > limite)
            return limite + 1;
        std::swap(anterior, atual);
    }
    return std::min(anterior[m], limite + 1);
}

int LimiteDeErros(const QString& chave) {
    return chave.size() >= 8 ? 2 : (chave.size() >= 4 ? 1 : 0);
}

// The key of a text without blanks to fold: compatibility decomposition, accents dropped, case
// folded. Each step works letter by letter, so a text's key is its letters' keys in a row.
QString ChaveSemBrancos(const QString& texto) {
    QString chave;
    for (const QChar c : texto.normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing)
            chave += c;
    return chave.toCaseFolded();
}

} // namespace

QString ChaveDoNome(const QString& nome) {
    // The Latin-1 letters' keys worked out once: a directory is read whole when a name matched
    // nobody, and normalizing 50 000 names took most of an SNPP PAGE's 0.1 s.
    static const auto latin1 = [] {
        std::array<QString, 256> tabela;
        for (char16_t c = 0; c < 256; ++c)
            tabela[c] = ChaveSemBrancos(QString(QChar(c)));
        return tabela;
    }();
    const QString simples = nome.simplified();
    QString chave;
    chave.reserve(simples.size());
    for (const QChar c : simples) {
        if (c.unicode() > 0xFF)
            return ChaveSemBrancos(simples);
        chave += latin1[c.unicode()];
    }
    return chave;
}

QStringList NomesParecidos(const QString& digitado, const QStringList& nomes, int maximo,
                           const QStringList& chaves) {
    const QString chave = ChaveDoNome(digitado);
    if (chave.isEmpty())
        return {};
    const int limite = LimiteDeErros(chave);
    struct Candidato {
        int distancia;
        QString nome;
    };
    QVector<Candidato> candidatos;
    for (qsizetype i = 0; i < nomes.size(); ++i) {
        const QString& nome = nomes[i];
        const QString outra = chaves.size() == nomes.size() ? chaves[i] : ChaveDoNome(nome);
        int distancia = Distancia(chave, outra, limite);
        if (distancia > limite && outra.contains(chave))
            distancia = limite + 1; // holds the typed text: after every near miss
        else if (distancia > limite)
            continue;
        candidatos.append({distancia, nome});
    }
    QCollator colador(QLocale(QLocale::Portuguese, QLocale::Brazil));
    colador.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(candidatos.begin(), candidatos.end(),
                     [&colador](const Candidato& a, const Candidato& b) {
                         return a.distancia != b.distancia ? a.distancia < b.distancia
                                                           : colador.compare(a.nome, b.nome) < 0;
                     });
    QStringList escolhidos;
    for (const Candidato& c : candidatos) {
        if (escolhidos.size() == maximo)
            break;
        if (!escolhidos.contains(c.nome))
            escolhidos << c.nome;
    }
    return escolhidos;
}
