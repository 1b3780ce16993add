// mkartwork: paints the game's fixed pictures at 1:1 for the program to read
// back at start instead of painting them (Artwork::stored).
//
//   mkartwork OUTPUT-DIRECTORY NAME...
//
// Writes OUTPUT-DIRECTORY/<NAME>.argb for each of Artwork::names() given.
// Painting needs a QGuiApplication: run it with QT_QPA_PLATFORM=offscreen
// on a build host without a display.

#include "artwork.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "Usage: mkartwork OUTPUT-DIRECTORY NAME...\n");
        return ExitUsage;
    }
    const QDir output(arguments.first());
    if (!output.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "mkartwork: cannot create %s\n", qPrintable(output.path()));
        return ExitFailed;
    }
    for (const QString &name : arguments.mid(1)) {
        if (!Artwork::names().contains(name)) {
            std::fprintf(stderr, "mkartwork: %s is not one of the pictures\n", qPrintable(name));
            return ExitUsage;
        }
        const QImage image = Artwork::paint(name, 1);
        const QString path = output.filePath(name + QStringLiteral(".argb"));
        QFile file(path);
        const QByteArray bytes = Artwork::encode(image);
        if (image.isNull() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
            std::fprintf(stderr, "mkartwork: cannot write %s\n", qPrintable(path));
            return ExitFailed;
        }
    }
    return 0;
}
