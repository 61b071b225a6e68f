#pragma once
// The group drop-down list of the group windows, read from the store in one place.
#include "common/Operador.h"
#include "store/ListaDeNomes.h"

class QComboBox;

// Reads the groups under the hourglass into grupos, tells the operator if the store refused,
// and refills lista without signalling (the caller follows with the selected group once).
// True when at least one group exists.
bool PreencheGrupos(Operador& operador, QComboBox* lista, ListaDeNomes& grupos);
