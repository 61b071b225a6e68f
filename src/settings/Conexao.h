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

// How control characters (codes below 32) travel inside a page: "Controles".
enum class ControlesNaLinha {
    Manter, // as they are (default; a line break goes as LF)
    Escape, // SUB, then the character + 64 (TAP 1.8)
    Branco, // each becomes a blank
};

// What the line and the terminal take, from the "CONEXÃO" keys and the serial line's data bits.
struct RegrasDoTexto {
    bool seteBits = true; // the serial line carries 7 data bits (MODEM/Configurações)
    bool win1252 = false; // "Texto" = "Windows-1252": an 8-bit line keeps accented letters
    ControlesNaLinha controles = ControlesNaLinha::Manter;
    int tamanhoDaPagina = 240; // "Tamanho da Página", 20 to 240
    bool divide = false;       // "Texto Longo" = "Dividir": a longer text goes as numbered pages

    // Only ASCII goes out: every other letter takes its plain form.
    bool SoAscii() const { return seteBits || !win1252; }
    // The longest text the composition window and the command line take.
    int TamanhoDoTexto() const;
};
constexpr int MenorPagina = 20;
constexpr int MaiorPagina = 240;
constexpr int MaiorTextoDividido = 1000;

RegrasDoTexto LeRegrasDoTexto();
// Data bits of a line setting in the serial control's notation ("9600,e,7,1" gives 7); 7 when
// the text has none.
int BitsDeDados(const QString& configuracao);
