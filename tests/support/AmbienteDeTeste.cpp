#include "AmbienteDeTeste.h"

#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"
#include "store/PostgreSQL.h"

#include "PostgreSQLDeTeste.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// XDG_CONFIG_HOME is never put back: left on the removed directory, nothing a test runs later can
// reach the real settings.
AmbienteDeTeste::AmbienteDeTeste(bool comBanco) {
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/config")));
    // Port locks too: whatever the machine's /run/lock holds, and other test runs, stay out.
    qputenv("BIPVOX_TRAVAS", QFile::encodeName(m_dir.path() + QStringLiteral("/travas")));
    if (comBanco)
        QVERIFY(AbreBancoVazio());
}

AmbienteDeTeste::~AmbienteDeTeste() {
    if (m_abriuBanco)
        FechaBancoDeDados();
    if (!m_bancoNoServidor.isEmpty())
        ApagaBancoPostgreSQL(m_bancoNoServidor);
}

bool TesteNoPostgreSQL() {
    return qgetenv("BIPVOX_TESTE_MOTOR") == "PostgreSQL";
}

void AmbienteDeTeste::EscreveINI(const QByteArray& conteudo) const {
    QFile arquivo(CaminhoDoINI());
    if (arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate))
        arquivo.write(conteudo);
}

QByteArray AmbienteDeTeste::LeINIBruto() const {
    QFile arquivo(CaminhoDoINI());
    if (!arquivo.open(QIODevice::ReadOnly))
        return {};
    return arquivo.readAll();
}

bool AmbienteDeTeste::AbreBancoVazio() {
    if (TesteNoPostgreSQL()) {
        QString erro;
        if (m_bancoNoServidor.isEmpty())
            m_bancoNoServidor = NovoBancoPostgreSQL(&erro);
        const ConexaoPostgreSQL conexao = ServidorDeTeste(m_bancoNoServidor).value_or(ConexaoPostgreSQL());
        const bool novo = !m_abriuBanco;
        m_abriuBanco = true;
        if (m_bancoNoServidor.isEmpty() || (novo && !CriaEsquemaPostgreSQL(conexao, &erro)) ||
            !AbreBancoPostgreSQL(conexao, &erro)) {
            qWarning("%s", qPrintable(erro));
            return false;
        }
        const QString b = QStringLiteral("BANCO");
        GravaINI(b, QStringLiteral("Tipo"), QStringLiteral("PostgreSQL"));
        GravaINI(b, QStringLiteral("Servidor"), conexao.servidor);
        GravaINI(b, QStringLiteral("Porta"), QString::number(conexao.porta));
        GravaINI(b, QStringLiteral("Banco"), conexao.banco);
        GravaINI(b, QStringLiteral("Usuario"), conexao.usuario);
        return true;
    }
    const QString caminho = m_dir.path() + QStringLiteral("/Pager.Mdb");
    if (!QFile::exists(caminho) && !CriaBancoVazio(caminho))
        return false;
    m_abriuBanco = true;
    return AbreBancoDeDados(QStringLiteral("Pager.Mdb"), m_dir.path());
}

QSqlDatabase OutraMesa(const QString& nome) {
    QSqlDatabase outra = QSqlDatabase::cloneDatabase(BancoDeDados(), nome);
    outra.open();
    return outra;
}

QStringList CamposDoCaso() {
    QFETCH(QString, caso);
    return caso.split(QLatin1Char('|'));
}
