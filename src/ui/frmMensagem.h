#pragma once
// Modal message boxes with the program's texts, titles, icons and Portuguese buttons.
#include "common/Operador.h"

class QWidget;

// A Sim/Não question cannot be answered by Escape or by closing the box: the person chooses.
Resposta MostraMensagem(QWidget* pai, const QString& texto, const QString& titulo, Icone icone,
                        Botoes botoes = Botoes::OK);

// The program's texts break lines with CR (or CR LF); the screen wants LF.
QString QuebrasDeLinha(const QString& texto);
