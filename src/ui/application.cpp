#include "application.h"

#include "accessibility.h"
#include "artwork.h"
#include "deferredicons.h"
#include "errorbox.h"

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setStyle(new DeferredIconStyle);
    setApplicationName(QStringLiteral("Tarvle Solo"));
    // Lets the desktop match the windows to the installed menu entry and icon.
    setDesktopFileName(QStringLiteral("tarvlesolo"));
    setWindowIcon(Artwork::icon());
    Accessibility::install();
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    // The last resort: handlers catch their own errors (ErrorBox::guard).
    bool handled = false;
    ErrorBox::guard(activeWindow(), [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
