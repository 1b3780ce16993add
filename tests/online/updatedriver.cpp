// Runs one update as the game does, with nothing around it, so that a test
// can kill it at any moment: updatedriver PROGRAM FOLDER SERVICE.
// Ends with 0 once the installer runs, 2 when the update failed.
#include "updatecheck.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: updatedriver PROGRAM FOLDER SERVICE\n");
        return 1;
    }
    UpdateCheck update(args[1], args[2], [] { return QStringLiteral("1.0.0"); });
    update.setServiceBase(args[3]);
    QObject::connect(&update, &UpdateCheck::statusChanged, &app, [](const QString &status) {
        std::fprintf(stderr, "%s\n", qPrintable(status));
        if (status.contains(QLatin1String("Aborted")) || status.contains(QLatin1String("not installed")))
            QCoreApplication::exit(2);
    });
    QObject::connect(&update, &UpdateCheck::failed, &app, [] { QCoreApplication::exit(2); });
    QTimer::singleShot(0, &update, [&update] { update.accept(); });
    return app.exec();
}
