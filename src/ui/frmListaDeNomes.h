#pragma once
// Drop-down lists and list boxes of names that stay quick with tens of thousands of entries:
// the names live in one string-list model (no item object per entry) and the view assumes
// rows of one height instead of measuring every name.
#include <QStringList>

class QComboBox;
class QListView;

// Gives the drop-down list its model and the settings for large lists; call once.
void PreparaListaGrande(QComboBox* lista);
void PreparaListaGrande(QListView* lista);
// Replaces the names; the drop-down list then selects the entry at atual, or its first entry
// when atual is outside the list (none when empty).
void PreencheNomes(QComboBox* lista, const QStringList& nomes, int atual = 0);
// Replaces the names of a list box; nothing is selected.
void PreencheNomes(QListView* lista, const QStringList& nomes);
