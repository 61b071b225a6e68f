#pragma once
// Controls the program's windows build the same way: picture buttons named by their tool tip,
// and labels that lend their text to the control they describe.
#include <QString>

class QLabel;
class QToolButton;
class QWidget;

// A 32-pixel picture button; its tool tip is also its accessible name.
QToolButton* CriaBotaoDeFigura(QWidget* pai, const QString& nome, const QString& figura, const QString& dica);
// A label panel for a control: the label's access key reaches it, and the control is named after
// the label's text (without the closing colon) for assistive technology. A read-only panel keeps
// its own text as its name and gets the label's text as its description.
QLabel* CriaRotulo(QWidget* pai, const QString& texto, const QString& nome, QWidget* controle);
// A length in twips (1440 an inch) as pixels at the window's screen resolution.
int TwipsParaPixels(const QWidget* janela, int twips);
