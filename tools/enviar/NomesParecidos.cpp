#include "NomesParecidos.h"

#include <QCollator>
#include <QLocale>
#include <QVector>

#include <algorithm>

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

} // namespace

QString ChaveDoNome(const QString& nome) {
    QString chave;
    for (const QChar c : nome.simplified().normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing)
            chave += c;
    return chave.toCaseFolded();
}

QStringList NomesParecidos(const QString& digitado, const QStringList& nomes, int maximo) {
    const QString chave = ChaveDoNome(digitado);
    if (chave.isEmpty())
        return {};
    const int limite = LimiteDeErros(chave);
    struct Candidato {
        int distancia;
        QString nome;
    };
    QVector<Candidato> candidatos;
    for (const QString& nome : nomes) {
        const QString outra = ChaveDoNome(nome);
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
