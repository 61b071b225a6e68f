#pragma once
// How the settings file's bytes become text, and text becomes bytes again in the same encoding.
#include <QByteArray>
#include <QString>

// Windows-1252 is the program's own format; a text editor may have saved the file as UTF-8.
enum class CodificacaoINI { Win1252, Utf8, Utf8ComBOM };

// A file that starts with a UTF-8 byte-order mark, or that is valid UTF-8 holding at least one
// multi-byte sequence, was saved by a text editor as UTF-8; any other file is Windows-1252.
CodificacaoINI DetectaCodificacaoINI(const QByteArray& bytes);
// Decoded with the detected encoding (a leading mark dropped).
QString DecodificaINI(const QByteArray& bytes);
// The bytes of texto in the given encoding. A Windows-1252 text that would be taken for UTF-8
// when read again starts with a comment that pins the encoding, so every key reads the same.
QByteArray CodificaINI(const QString& texto, CodificacaoINI codificacao);
