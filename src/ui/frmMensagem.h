#pragma once
// Modal message boxes with the program's texts, titles, icons and Portuguese buttons.
#include "common/Operador.h"

class QWidget;

Resposta MostraMensagem(QWidget* pai, const QString& texto, const QString& titulo, Icone icone,
                        Botoes botoes = Botoes::OK);
