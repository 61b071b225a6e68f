#pragma once
// The message of a send from the command line, made as the composition window makes it.
#include <QByteArray>
#include <QString>

// As typed into the message box: accented letters replaced by the window's filter, line ends
// as Enter makes them, a tab as a blank. False, with the reason, for a message the window
// would not send (empty, over 240 characters) or one with control characters that no typing
// produces.
bool PreparaMensagem(const QString& texto, QString& mensagem, QString& erro);

// Bytes read from standard input: UTF-8, or Windows-1252 when they are not valid UTF-8; the
// line end that echo adds is dropped.
QString TextoDaEntrada(const QByteArray& bytes);
