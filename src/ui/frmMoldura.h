#pragma once
// What the program's frameless windows share: a title panel in place of a title bar, and
// opening centred over the window that opens them.
#include <QString>

class QLabel;
class QWidget;

// Makes the window frameless and gives it a thin border.
void TornaSemMoldura(QWidget* janela);
// A raised panel with the window's title in Times New Roman; also the window's title for
// assistive technology.
QLabel* CriaPainelDeTitulo(QWidget* janela, const QString& titulo, const QString& nome);
// A bordered label panel for texts such as hints and prompts.
QLabel* CriaPainelDeTexto(QWidget* pai, const QString& texto, const QString& nome);
// The raised background panel "pnlFundo" that holds a window's controls.
class QFrame;
QFrame* CriaPainelDeFundo(QWidget* pai);
void CentralizaSobre(QWidget* janela, const QWidget* sobre);
// Shrinks and moves the window so that all of it lies on the available screen (high scaling).
void CabeNaTela(QWidget* janela);
