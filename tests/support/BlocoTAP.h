#pragma once
// A page as it goes down the line, framed and summed here independently of the program's code,
// so a fault in either side shows.
#include <QByteArray>

inline QByteArray BlocoTAP(const QByteArray& codigo, const QByteArray& mensagem) {
    const QByteArray corpo = "\x02" + codigo + "\r" + mensagem + "\r\x03";
    unsigned s = 0;
    for (const char c : corpo)
        s += static_cast<unsigned char>(c);
    return corpo + char('0' + ((s >> 8) & 15)) + char('0' + ((s >> 4) & 15)) + char('0' + (s & 15)) + "\r";
}
