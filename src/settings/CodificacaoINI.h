#pragma once
// How the settings file's bytes become text.
#include <QByteArray>
#include <QString>

// A file that starts with a UTF-8 byte-order mark, or that is valid UTF-8 holding at least one
// multi-byte sequence, was saved by a text editor as UTF-8 and is decoded as such (mark dropped);
// any other file is Windows-1252, the program's own format.
QString DecodificaINI(const QByteArray& bytes);
