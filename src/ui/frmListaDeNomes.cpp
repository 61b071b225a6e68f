#include "ui/frmListaDeNomes.h"

#include <QComboBox>
#include <QListView>
#include <QStringListModel>

namespace {
QStringListModel* ModeloDe(QAbstractItemModel* modelo) {
    return qobject_cast<QStringListModel*>(modelo);
}
} // namespace

void PreparaListaGrande(QComboBox* lista) {
    lista->setModel(new QStringListModel(lista));
    // Fitting the width to the contents would measure every name.
    lista->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lista->setMinimumContentsLength(24);
    // A drop-down that scrolls within its visible entries: the pop-up style would walk every
    // entry to size itself, half a second with 50 000 names.
    lista->setStyleSheet(lista->styleSheet() + QStringLiteral("QComboBox { combobox-popup: 0; }"));
    if (auto* vista = qobject_cast<QListView*>(lista->view()))
        vista->setUniformItemSizes(true);
}

void PreparaListaGrande(QListView* lista) {
    lista->setModel(new QStringListModel(lista));
    lista->setUniformItemSizes(true);
    lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lista->setSelectionMode(QAbstractItemView::SingleSelection);
}

void PreencheNomes(QComboBox* lista, const QStringList& nomes, int atual) {
    if (QStringListModel* modelo = ModeloDe(lista->model()))
        modelo->setStringList(nomes);
    else {
        lista->clear();
        lista->addItems(nomes);
    }
    lista->setCurrentIndex(nomes.isEmpty() ? -1 : atual >= 0 && atual < nomes.size() ? atual : 0);
}

void PreencheNomes(QListView* lista, const QStringList& nomes) {
    if (QStringListModel* modelo = ModeloDe(lista->model()))
        modelo->setStringList(nomes);
}
