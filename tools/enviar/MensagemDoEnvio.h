#pragma once
// The message of a send from the command line, made as the composition window makes it.
#include <QByteArray>
#include <QString>

// As typed into the message box: letters in the form the connection takes, line ends as Enter
// makes them, a tab as a blank. False, with the reason, for a message the window would not send
// (empty, longer than the connection takes, a character the line cannot carry) or one with
// control characters that no typing produces.
bool PreparaMensagem(const QString& texto, QString& mensagem, QString& erro);

// Bytes read from standard input: UTF-8, or Windows-1252 when they are not valid UTF-8; the
// line end that echo adds is dropped.
QString TextoDaEntrada(const QByteArray& bytes);
