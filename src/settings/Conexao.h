#pragma once
// How the program reaches the paging terminal: the "CONEXÃO" section of the settings file.
// Every key is read at the moment of use; a missing key keeps the dial-up modem.
#include <QString>

enum class TipoDeConexao {
    Modem,  // a Hayes modem dials the terminal (default)
    Direta, // a serial cable straight to the terminal: no modem commands at all
    TCP,    // TAP over a TCP connection to host and port
};

inline const QString SecaoConexao = QStringLiteral("CONEXÃO");

// "Tipo": exactly "Direta" or "TCP"; anything else, the key missing included, is the modem.
TipoDeConexao LeTipoDeConexao();
QString NomeDoTipo(TipoDeConexao tipo);

// "Endereço" (without the brackets an IPv6 address may be written in) and "Porta TCP". The port
// is 0 when missing or not a number from 1 to 65535: never wrapped into another port.
QString LeEnderecoTCP();
quint16 LePortaTCP();
// Why the two keys cannot be used, naming the stored value, for the operator; empty when they can.
QString ProblemaDoDestinoTCP();
// "host:port" for the texts, an IPv6 host in brackets.
QString DestinoTCP();

// "Senha": sent after "PG1" in the log-on; empty means no password.
QString LeSenhaDeAcesso();
// Why the password cannot be kept in the file and sent as typed (a control character, or one
// that Windows-1252 lacks), for the operator; empty when it can.
QString ProblemaDaSenha(const QString& senha);
// Stores the password so that LeSenhaDeAcesso gives it back exactly, blanks and quotes included.
void GravaSenhaDeAcesso(const QString& senha);
