#include "SenhasSNPP.h"

#include <QFile>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

namespace {

constexpr int Iteracoes = 20000; // about 10 ms a try on a small machine
constexpr int TamanhoDaChave = 32;

QByteArray Deriva(const QString& senha, const QByteArray& sal, int iteracoes) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, senha.toUtf8(), sal, iteracoes,
                                              TamanhoDaChave);
}

// Every byte compared, so the time taken does not tell how much of a guess was right.
bool Iguais(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char diferenca = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diferenca |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diferenca == 0;
}

bool LeLinhas(const QString& arquivo, QStringList& linhas, QString* erro) {
    QFile f(arquivo);
    if (!f.exists())
        return true;
    if (!f.open(QIODevice::ReadOnly)) {
        if (erro)
            *erro =
                QStringLiteral("o arquivo de senhas %1 não pôde ser lido (%2)").arg(arquivo, f.errorString());
        return false;
    }
    for (const QByteArray& linha : f.readAll().split('\n'))
        if (!linha.trimmed().isEmpty())
            linhas << QString::fromUtf8(linha.trimmed());
    return true;
}

} // namespace

bool SenhasSNPP::NomeValido(const QString& usuario) {
    static const QRegularExpression nome(QStringLiteral("^[A-Za-z0-9._@-]{1,32}$"));
    return nome.match(usuario).hasMatch();
}

bool SenhasSNPP::Carrega(const QString& arquivo, QString* erro) {
    m_linhas.clear();
    QStringList linhas;
    if (!LeLinhas(arquivo, linhas, erro))
        return false;
    for (int i = 0; i < linhas.size(); ++i) {
        const QStringList campos = linhas[i].split(QLatin1Char(':'));
        if (campos.size() != 5 || !NomeValido(campos[0]) || campos[1] != QLatin1String("pbkdf2-sha256") ||
            campos[2].toInt() < 1) {
            m_linhas.clear();
            if (erro)
                *erro =
                    QStringLiteral("linha %1 do arquivo de senhas %2 não se entende").arg(i + 1).arg(arquivo);
            return false;
        }
        m_linhas.insert(campos[0], linhas[i].section(QLatin1Char(':'), 1));
    }
    return true;
}

bool SenhasSNPP::Confere(const QString& usuario, const QString& senha) const {
    const QStringList campos = m_linhas.value(usuario).split(QLatin1Char(':'));
    if (campos.size() != 4) {
        // An unknown user costs the same time as a wrong password.
        Deriva(senha, QByteArray(16, 'x'), Iteracoes);
        return false;
    }
    const QByteArray sal = QByteArray::fromHex(campos[2].toLatin1());
    return Iguais(Deriva(senha, sal, campos[1].toInt()), QByteArray::fromHex(campos[3].toLatin1()));
}

bool SenhasSNPP::Grava(const QString& arquivo, const QString& usuario, const QString& senha, QString& erro) {
    if (!NomeValido(usuario)) {
        erro = QStringLiteral("nome de usuário inválido: \"%1\" (de 1 a 32 letras sem acento, algarismos, "
                              "\".\", \"_\", \"-\" ou \"@\")")
                   .arg(usuario);
        return false;
    }
    if (senha.isEmpty()) {
        erro = QStringLiteral("a senha está vazia");
        return false;
    }
    QStringList linhas;
    if (!LeLinhas(arquivo, linhas, &erro))
        return false;
    QByteArray sal(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(sal.data()), sal.size() / 4);
    const QString nova = QStringLiteral("%1:pbkdf2-sha256:%2:%3:%4")
                             .arg(usuario)
                             .arg(Iteracoes)
                             .arg(QString::fromLatin1(sal.toHex()),
                                  QString::fromLatin1(Deriva(senha, sal, Iteracoes).toHex()));
    linhas.erase(
        std::remove_if(linhas.begin(), linhas.end(),
                       [&usuario](const QString& l) { return l.section(QLatin1Char(':'), 0, 0) == usuario; }),
        linhas.end());
    linhas << nova;
    QSaveFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write((linhas.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0 ||
        !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || !f.commit()) {
        erro =
            QStringLiteral("o arquivo de senhas %1 não pôde ser gravado (%2)").arg(arquivo, f.errorString());
        return false;
    }
    return true;
}
