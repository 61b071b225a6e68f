#pragma once
// Sample users and groups for a demonstration database.
#include <QString>

// Opens the new, empty database and fills it; closes it again. The file is removed on failure,
// so a half-filled database never stays behind.
bool GravaExemplos(const QString& diretorio, const QString& arquivo, QString* erro);
// Fills the open store in one transaction, then closes it.
bool GravaExemplos(QString* erro);
