#include "common/Csv.h"

#include "common/Win1252.h"

#include <QStringDecoder>

namespace {

QString Campo(const QString& texto, QChar separador) {
    const bool aspas = texto.contains(separador) || texto.contains(QLatin1Char('"')) ||
                       texto.contains(QLatin1Char('\n')) || texto.contains(QLatin1Char('\r'));
    if (!aspas)
        return texto;
    return QLatin1Char('"') + QString(texto).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

QChar Separador(const QString& texto) {
    int pontoEVirgula = 0, virgula = 0;
    bool dentro = false;
    for (const QChar c : texto) {
        if (c == QLatin1Char('"'))
            dentro = !dentro;
        else if (!dentro && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!dentro && c == QLatin1Char(';'))
            ++pontoEVirgula;
        else if (!dentro && c == QLatin1Char(','))
            ++virgula;
    }
    return virgula > pontoEVirgula ? QLatin1Char(',') : QLatin1Char(';');
}

} // namespace

QByteArray EscreveCsv(const QList<QStringList>& linhas, QChar separador) {
    QString texto;
    for (const QStringList& linha : linhas) {
        QStringList campos;
        for (const QString& campo : linha)
            campos << Campo(campo, separador);
        texto += campos.join(separador) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + texto.toUtf8();
}

LeituraCsv LeCsv(const QByteArray& bytes) {
    LeituraCsv leitura;
    QByteArray corpo = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString texto = utf8(corpo);
    if (utf8.hasError()) {
        texto = DeWin1252(corpo);
        leitura.win1252 = true;
    }
    leitura.separador = Separador(texto);
    LinhaCsv atual;
    QString campo;
    bool dentro = false, citado = false, vazia = true;
    int numero = 1;
    atual.numero = 1;
    const auto fechaCampo = [&] {
        atual.campos << campo;
        campo.clear();
        citado = false;
    };
    for (qsizetype i = 0; i <= texto.size(); ++i) {
        const QChar c = i < texto.size() ? texto[i] : QChar(u'\n');
        if (dentro) {
            if (c == QLatin1Char('"') && i + 1 < texto.size() && texto[i + 1] == QLatin1Char('"')) {
                campo += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                dentro = false;
            } else {
                if (c == QLatin1Char('\n'))
                    ++numero;
                if (i == texto.size()) {
                    leitura.erro =
                        QStringLiteral("aspas abertas na linha %1 não foram fechadas").arg(atual.numero);
                    return leitura;
                }
                campo += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && campo.isEmpty() && !citado) {
            dentro = citado = true;
            vazia = false;
        } else if (c == leitura.separador) {
            fechaCampo();
            vazia = false;
        } else if (c == QLatin1Char('\r') && i + 1 < texto.size() && texto[i + 1] == QLatin1Char('\n')) {
            continue;
        } else if (c == QLatin1Char('\n')) {
            fechaCampo();
            if (!vazia)
                leitura.linhas << atual;
            atual = LinhaCsv{++numero, {}};
            vazia = true;
        } else {
            campo += c;
            vazia = false;
        }
    }
    return leitura;
}
