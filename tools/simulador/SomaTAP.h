#pragma once
// The terminal's own check of a TAP block: the three-character sum the sender must have appended.
#include <QByteArray>

// Sum of every byte of the block (STX to ETX inclusive), low 12 bits, as three characters
// '0' + 4-bit group, most significant first.
QByteArray SomaTAP(const QByteArray& bloco);
