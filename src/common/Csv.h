#pragma once
// CSV as Brazilian spreadsheets read and write it: UTF-8 with a byte-order mark, ';' between
// fields (',' on request), CR LF between rows, a field quoted when it holds the separator, a
// quote or a line break, a quote inside written twice.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

QByteArray EscreveCsv(const QList<QStringList>& linhas, QChar separador = QLatin1Char(';'));

struct LinhaCsv {
    int numero = 0; // line of the file where the row begins, from 1
    QStringList campos;
};

struct LeituraCsv {
    QList<LinhaCsv> linhas; // the header row first
    QChar separador;
    bool win1252 = false; // the bytes were not UTF-8
    QString erro;         // not empty when the text cannot be read as CSV
};

// Reads UTF-8 (with or without the mark) or, when the bytes are not valid UTF-8, Windows-1252;
// the separator is the one of ';' and ',' the first row holds more of (outside quotes). Line
// breaks inside quotes are kept as they are; empty rows are skipped.
LeituraCsv LeCsv(const QByteArray& bytes);
