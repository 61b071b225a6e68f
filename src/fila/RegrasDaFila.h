#pragma once
// When a page that could not go out is tried again, and when the queue gives it up. Pure rules on
// times in seconds, read from the [FILA] section of the settings file.
#include <QString>
#include <QVector>

struct RegrasDaFila {
    // Waits after the 1st, 2nd, ... failed attempt; the last one repeats.
    QVector<double> intervalos{60, 180, 300, 600, 900};
    double idadeMaxima = 4 * 3600; // a page older than this is not sent any more
    int maximoDeTentativas = 10;
    // A page whose block may have reached the terminal when the sender died: sent again (true) or
    // left "incerta" for a person to decide (false), since sending again may page someone twice.
    bool reenviarIncertas = false;
};

// The [FILA] keys ("Intervalos", "Idade Máxima", "Tentativas", "Reenviar Incertas"); a key with a
// bad value keeps its default, and problema (when given) says which.
RegrasDaFila LeRegrasDaFila(QString* problema = nullptr);

// After a failed attempt: tentativas counts it already. expira says the page is given up (too
// many attempts, or the next one would come after its maximum age); otherwise proxima is when.
struct DecisaoDaFila {
    bool expira = false;
    double proxima = 0;
    QString motivo; // why it expired, in Portuguese
};
DecisaoDaFila DepoisDaFalha(const RegrasDaFila& regras, int tentativas, double enfileirada, double agora);

// A waiting page that is older than the maximum age.
bool Vencida(const RegrasDaFila& regras, double enfileirada, double agora);
