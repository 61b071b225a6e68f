#pragma once
// Text from outside (a name from the database, a command line, a network peer) made safe for a
// line of a terminal or a log.
#include <QString>

// Control and formatting characters (a terminal's escape sequences, a hidden direction change)
// as \x1B or \u202E, so that the text cannot drive the operator's terminal or split a log line.
QString Escapado(const QString& texto);
