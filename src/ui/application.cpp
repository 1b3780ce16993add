#include "application.h"

#include "artwork.h"
#include "errorbox.h"

#include <exception>

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tarvle Solo"));
    // Lets the desktop match the windows to the installed menu entry and icon.
    setDesktopFileName(QStringLiteral("tarvlesolo"));
    setWindowIcon(Artwork::icon());
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ErrorBox::show(activeWindow(), QString::fromUtf8(e.what()));
    } catch (...) {
        ErrorBox::show(activeWindow(), QStringLiteral("Unexpected error"));
    }
    return false;
}
