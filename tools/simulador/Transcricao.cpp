#include "Transcricao.h"

#include "Legivel.h"
#include "common/Win1252.h"

#include <QDateTime>
#include <QJsonDocument>
#include <cmath>

bool Transcricao::Abre(const QString& caminho, QString* erro) {
    if (caminho.isEmpty())
        return true;
    m_arquivo.setFileName(caminho);
    if (!m_arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (erro)
            *erro = QStringLiteral("não foi possível criar a transcrição \"%1\": %2")
                        .arg(caminho, m_arquivo.errorString());
        return false;
    }
    return true;
}

void Transcricao::Dados(bool recebido, const QByteArray& bytes, double t) {
    QJsonObject r;
    r.insert(QStringLiteral("sentido"), recebido ? QStringLiteral("recebido") : QStringLiteral("enviado"));
    r.insert(QStringLiteral("hex"), QString::fromLatin1(bytes.toHex()));
    r.insert(QStringLiteral("texto"), Legivel(bytes));
    Escreve(r, QStringLiteral("dados"), t);
}

void Transcricao::Evento(const QString& texto, double t) {
    QJsonObject r;
    r.insert(QStringLiteral("texto"), texto);
    Escreve(r, QStringLiteral("evento"), t);
}

void Transcricao::Pagina(const PaginaRecebida& p, double t) {
    QJsonObject r;
    r.insert(QStringLiteral("chamada"), p.chamada);
    r.insert(QStringLiteral("numero"), p.numero);
    r.insert(QStringLiteral("codigo"), DeWin1252(p.codigo));
    r.insert(QStringLiteral("mensagem"), DeWin1252(p.mensagem));
    r.insert(QStringLiteral("somaRecebida"), DeWin1252(p.somaRecebida));
    r.insert(QStringLiteral("somaCalculada"), QString::fromLatin1(p.somaCalculada));
    r.insert(QStringLiteral("somaConfere"), p.somaConfere);
    r.insert(QStringLiteral("veredito"), p.veredito);
    Escreve(r, QStringLiteral("pagina"), t);
}

void Transcricao::Escreve(QJsonObject registro, const QString& tipo, double t) {
    if (!m_arquivo.isOpen())
        return;
    registro.insert(QStringLiteral("tipo"), tipo);
    registro.insert(QStringLiteral("t"), std::round(t * 1e6) / 1e6);
    registro.insert(QStringLiteral("hora"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs));
    m_arquivo.write(QJsonDocument(registro).toJson(QJsonDocument::Compact));
    m_arquivo.write("\n");
    // Readers follow the file while the simulator runs.
    m_arquivo.flush();
}
