#pragma once

#include <QString>

#include <exception>
#include <new>

class QWidget;

// The one place where errors and the game's one-line messages reach the player.
namespace ErrorBox {

// Adds a full stop to a message whose last character sorts after "."
// (a letter, a digit, ":" or "/"), but not after "!" or ".".
QString withFullStop(const QString &message);

// A critical error box titled with the application title.
void show(QWidget *parent, const QString &message);

// What a handler that ran out of memory is reported as.
QString outOfMemoryMessage();

// Runs an event handler. An error it raises ends it there and is shown in
// the critical error box; the program goes on. Every handler that can fail
// runs through this, so no error unwinds through Qt's signals or events.
template<typename Handler>
void guard(QWidget *parent, Handler &&handler)
{
    try {
        handler();
    } catch (const std::bad_alloc &) {
        // The library's own text ("std::bad_alloc") tells a player nothing.
        show(parent, outOfMemoryMessage());
    } catch (const std::exception &e) {
        show(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        show(parent, QStringLiteral("Unexpected error"));
    }
}

// A plain message box with an OK button, e.g. "Posting Failed.".
void inform(QWidget *parent, const QString &message);

// From now on no one answers boxes (the program is being ended by a signal):
// messages go to standard error instead, and nothing waits.
void setUnattended();

} // namespace ErrorBox
