#pragma once

#include <QString>

class QWidget;

// The one place where errors and the game's one-line messages reach the player.
namespace ErrorBox {

// Adds a full stop to a message whose last character sorts after "."
// (a letter, a digit, ":" or "/"), but not after "!" or ".".
QString withFullStop(const QString &message);

// A critical error box titled with the application title.
void show(QWidget *parent, const QString &message);

// A plain message box with an OK button, e.g. "Posting Failed.".
void inform(QWidget *parent, const QString &message);

} // namespace ErrorBox
