#pragma once
// Windows-1252 is the byte form of text on the serial line and in the settings file.
#include <QByteArray>
#include <QString>

// A character that Windows-1252 cannot hold becomes '?'.
QByteArray ParaWin1252(const QString& texto);
QString DeWin1252(const QByteArray& bytes);
// Whether the character (a code point) has a Windows-1252 byte.
bool CabeEmWin1252(char32_t codigo);
