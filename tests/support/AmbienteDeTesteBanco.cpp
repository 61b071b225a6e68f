// Kept apart so that tests without a database do not link the store.
#include "AmbienteDeTeste.h"

#include "store/BancoDeDados.h"
#include "store/Esquema.h"

#include <QFile>

void FechaBancoDoTeste() {
    FechaBancoDeDados();
}

bool AmbienteDeTeste::AbreBancoVazio() {
    const QString caminho = m_dir.path() + QStringLiteral("/Pager.Mdb");
    if (!QFile::exists(caminho) && !CriaBancoVazio(caminho))
        return false;
    m_abriuBanco = true;
    return AbreBancoDeDados(QStringLiteral("Pager.Mdb"), m_dir.path());
}
