#include "MensagemDoEnvio.h"

#include "common/Win1252.h"
#include "settings/Conexao.h"
#include "tap/TextoDaPagina.h"

#include <QStringDecoder>

bool PreparaMensagem(const QString& texto, QString& mensagem, QString& erro) {
    QString digitado = texto;
    digitado.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    digitado.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    digitado.replace(QLatin1Char('\t'), QLatin1Char(' '));
    for (const QChar c : digitado) {
        if ((c.unicode() < 0x20 && c != QLatin1Char('\n')) || c.unicode() == 0x7f) {
            erro = QStringLiteral("a mensagem contém um caractere de controle (código %1), que não pode "
                                  "ser enviado")
                       .arg(c.unicode());
            return false;
        }
    }
    if (digitado.isEmpty()) {
        erro = QStringLiteral("a mensagem está vazia");
        return false;
    }
    // Blanks and line breaks alone would page a blank screen.
    if (digitado.trimmed().isEmpty()) {
        erro = QStringLiteral("a mensagem só tem brancos ou quebras de linha");
        return false;
    }
    // The same letters, pages and limits as the composition window.
    const RegrasDoTexto regras = LeRegrasDoTexto();
    QStringList paginas;
    if (!PaginasDoTexto(digitado, regras, paginas, erro))
        return false;
    mensagem = TextoParaALinha(digitado, regras);
    return true;
}

QString TextoDaEntrada(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString texto = utf8.decode(bytes);
    if (utf8.hasError())
        texto = DeWin1252(bytes);
    if (texto.endsWith(QLatin1Char('\n')))
        texto.chop(1);
    if (texto.endsWith(QLatin1Char('\r')))
        texto.chop(1);
    return texto;
}
