#pragma once
// Line bytes shown to a person: control characters by name ("<STX>", "<CR>"), other bytes as
// their Windows-1252 characters.
#include <QByteArray>
#include <QString>

QString Legivel(const QByteArray& bytes);
