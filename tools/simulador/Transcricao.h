#pragma once
// The simulator's record of a session, one JSON object a line, written as things happen:
//   {"tipo":"dados","sentido":"recebido"|"enviado","t":..,"hora":..,"hex":..,"texto":..}
//   {"tipo":"evento","t":..,"hora":..,"texto":..}
//   {"tipo":"pagina","t":..,"hora":..,"chamada":..,"numero":..,"codigo":..,"mensagem":..,
//    "somaRecebida":..,"somaCalculada":..,"somaConfere":..,"veredito":..}
// "t" is seconds since the simulator started (monotonic); "hora" is the local ISO time.
#include "TerminalTAP.h"

#include <QFile>
#include <QJsonObject>
#include <QString>

class Transcricao {
public:
    // An empty path keeps no file; false (with the reason in erro) when the file cannot be made.
    bool Abre(const QString& caminho, QString* erro);

    void Dados(bool recebido, const QByteArray& bytes, double t);
    void Evento(const QString& texto, double t);
    void Pagina(const PaginaRecebida& pagina, double t);

private:
    void Escreve(QJsonObject registro, const QString& tipo, double t);
    QFile m_arquivo;
};
