#include "fila/RegrasDaFila.h"

#include "settings/PerfilINI.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace {

const QString kSecao = QStringLiteral("FILA");

bool LeMinutos(const QString& texto, double& minutos) {
    bool ok = false;
    minutos = texto.trimmed().toDouble(&ok);
    return ok && std::isfinite(minutos) && minutos >= 0 && minutos <= 7 * 24 * 60;
}

void Anota(QString* problema, const QString& texto) {
    if (!problema)
        return;
    if (!problema->isEmpty())
        *problema += QStringLiteral("; ");
    *problema += texto;
}

QString Invalido(const QString& chave, const QString& valor) {
    return QStringLiteral("valor inválido em [FILA] %1: \"%2\" (vale o padrão)").arg(chave, valor);
}

} // namespace

RegrasDaFila LeRegrasDaFila(QString* problema) {
    RegrasDaFila regras;
    if (problema)
        problema->clear();
    const LeituraINI ini;

    const QString intervalos = ini.Le(kSecao, QStringLiteral("Intervalos"), QString());
    if (!intervalos.isEmpty()) {
        QVector<double> lidos;
        for (const QString& parte :
             intervalos.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts)) {
            double minutos = 0;
            if (!LeMinutos(parte, minutos)) {
                lidos.clear();
                break;
            }
            lidos << minutos * 60;
        }
        if (lidos.isEmpty())
            Anota(problema, Invalido(QStringLiteral("Intervalos"), intervalos));
        else
            regras.intervalos = lidos;
    }

    const QString idade = ini.Le(kSecao, QStringLiteral("Idade Máxima"), QString());
    double minutos = 0;
    if (!idade.isEmpty()) {
        if (LeMinutos(idade, minutos) && minutos > 0)
            regras.idadeMaxima = minutos * 60;
        else
            Anota(problema, Invalido(QStringLiteral("Idade Máxima"), idade));
    }

    const QString tentativas = ini.Le(kSecao, QStringLiteral("Tentativas"), QString());
    if (!tentativas.isEmpty()) {
        bool ok = false;
        const int n = tentativas.trimmed().toInt(&ok);
        if (ok && n >= 1 && n <= 1000)
            regras.maximoDeTentativas = n;
        else
            Anota(problema, Invalido(QStringLiteral("Tentativas"), tentativas));
    }

    const QString reenviar = ini.Le(kSecao, QStringLiteral("Reenviar Incertas"), QStringLiteral("Não"));
    regras.reenviarIncertas = reenviar.trimmed().compare(QLatin1String("Sim"), Qt::CaseInsensitive) == 0;
    return regras;
}

DecisaoDaFila DepoisDaFalha(const RegrasDaFila& regras, int tentativas, double enfileirada, double agora) {
    DecisaoDaFila d;
    if (tentativas >= regras.maximoDeTentativas) {
        d.expira = true;
        d.motivo = QStringLiteral("desistência após %1 tentativa(s)").arg(tentativas);
        return d;
    }
    const int k = std::max(0, std::min(tentativas, int(regras.intervalos.size())) - 1);
    const double espera = regras.intervalos.isEmpty() ? 0 : regras.intervalos[k];
    d.proxima = agora + espera;
    if (d.proxima - enfileirada > regras.idadeMaxima) {
        d.expira = true;
        d.motivo = QStringLiteral("desistência: a página passaria de %1 min na fila")
                       .arg(regras.idadeMaxima / 60, 0, 'g', 4);
    }
    return d;
}

bool Vencida(const RegrasDaFila& regras, double enfileirada, double agora) {
    return agora - enfileirada > regras.idadeMaxima;
}
