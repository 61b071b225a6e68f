#pragma once
// Values of the general module that live for the whole run.
#include <QString>
#include <QVector>

namespace Modulo {

inline const QString ArquivoINI = QStringLiteral("Bipvoxcf.INI");
inline const QString NomeDoPrograma = QStringLiteral("Bipvox");
inline const QString VersaoDoPrograma = QStringLiteral("1.0");

inline const QString STX = QString(QChar(2));
inline const QString ETX = QString(QChar(3));
inline const QString EOT = QString(QChar(4));
inline const QString ACK = QString(QChar(6));
inline const QString LF = QString(QChar(10));
inline const QString CR = QString(QChar(13));
inline const QString NAK = QString(QChar(21));
inline const QString ESC = QString(QChar(27));
inline const QString RS = QString(QChar(30));

// COM port number of the modem, from "MODEM"/"Porta Serial".
extern qint16 PortaModem;

// The send request: see compose/ and tap/. CodigosDaLista holds, at k (from 1), the identifier
// of the k-th entry of the composition window's list; element 0 is never written. It has at
// least 5001 elements and grows with a longer list, so a directory of any size can be listed.
constexpr int MinCodigosDaLista = 5000;
extern bool EnvioIniciado;
extern QVector<qint32> CodigosDaLista;
extern QString MensagemEnvio;

} // namespace Modulo
