#pragma once
// The send request and the progress panel as the composition and progress windows answer them:
// the one double of each for every test that sends.
#include "tap/Envio.h"

#include <QStringList>
#include <QVector>

struct PedidoDeTeste : PedidoDeEnvio {
    bool porUsuario = true;
    int indice = 0;
    QString texto = QStringLiteral("Reuniao as 15h");
    int esvaziamentos = 0;
    QString origem = QStringLiteral("janela");

    bool DestinoEhUsuario() const override { return porUsuario; }
    int IndiceDaLista() const override { return indice; }
    QString TextoDaMensagem() const override { return texto; }
    QString Origem() const override { return origem; }
    void EsvaziaMensagem() override {
        ++esvaziamentos;
        texto.clear();
    }
};

struct PainelDeTeste : PainelDeEnvio {
    QStringList titulos;
    QVector<int> valores;

    void Titulo(const QString& texto) override { titulos << texto; }
    void MedidorMaximo(int) override {}
    void MedidorValor(int v) override { valores << v; }
    void MedidorVisivel(bool) override {}
};
