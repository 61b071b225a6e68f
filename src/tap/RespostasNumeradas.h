#pragma once
// The numbered lines a TAP 1.8 terminal puts before its ACK, NAK or RS ("211 Page(s) Sent",
// "511 Invalid pager ID", "112 Maximum pages entered for session"), read and said in Portuguese.
#include <QString>
#include <QVector>

struct LinhaNumerada {
    int codigo = 0;
    QString texto; // the whole line as the terminal sent it, printable characters only
};

// Every line of the answer that starts with three digits, in order.
QVector<LinhaNumerada> LinhasNumeradas(const QString& resposta);
// "código do pager não cadastrado na central (511 Invalid pager ID)"; empty when no line of
// the answer says why (a code outside 5xx, 212 to 214, 112 and 113 says nothing worth telling).
QString MotivoDaCentral(const QString& resposta);
// The terminal said the session holds no more pages (112, 113), or ended it (ESC EOT CR) behind
// its answer to the page.
bool SessaoEsgotada(const QString& resposta);
