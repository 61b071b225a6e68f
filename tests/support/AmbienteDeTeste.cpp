#include "AmbienteDeTeste.h"

#include "settings/PerfilINI.h"

void FechaBancoDoTeste();

#include <QDir>
#include <QFile>

AmbienteDeTeste::AmbienteDeTeste() {
    m_tinhaXdg = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_xdgAnterior = qgetenv("XDG_CONFIG_HOME");
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/config")));
}

AmbienteDeTeste::~AmbienteDeTeste() {
    if (m_abriuBanco)
        FechaBancoDoTeste();
    if (m_tinhaXdg)
        qputenv("XDG_CONFIG_HOME", m_xdgAnterior);
    else
        qunsetenv("XDG_CONFIG_HOME");
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
