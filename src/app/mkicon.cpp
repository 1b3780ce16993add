// mkicon: writes the window icon as PNG files for the desktop's icon theme.
//
//   mkicon OUTPUT-DIRECTORY SIZE...
//
// Writes OUTPUT-DIRECTORY/<SIZE>x<SIZE>/tarvlesolo.png for each size. The
// icon is painted by code, so a QGuiApplication is needed; run it with
// QT_QPA_PLATFORM=offscreen on a build host without a display.

#include "artwork.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

int fail(const QString &message)
{
    std::fprintf(stderr, "mkicon: %s\n", qPrintable(message));
    return ExitFailed;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "Usage: mkicon OUTPUT-DIRECTORY SIZE...\n");
        return ExitUsage;
    }

    const QDir output(arguments.first());
    for (const QString &argument : arguments.mid(1)) {
        bool number = false;
        const int size = argument.toInt(&number);
        if (!number || size < 1 || size > 1024) {
            std::fprintf(stderr, "mkicon: %s is not a size in pixels\n", qPrintable(argument));
            return ExitUsage;
        }
        const QString folder = QStringLiteral("%1x%1").arg(size);
        if (!output.mkpath(folder))
            return fail(QStringLiteral("cannot create %1").arg(output.filePath(folder)));
        const QString file = output.filePath(folder + QStringLiteral("/tarvlesolo.png"));

        const QPixmap pixmap = Artwork::icon().pixmap(QSize(size, size));
        if (pixmap.isNull() || !pixmap.save(file, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(file));

        // QIcon hands back a smaller picture when it has none this big, and the
        // icon theme would then show a blurred or misplaced icon.
        QImageReader reader(file, "png");
        const QImage saved = reader.read();
        if (saved.isNull())
            return fail(QStringLiteral("%1 is not a readable PNG: %2").arg(file, reader.errorString()));
        if (saved.size() != QSize(size, size)) {
            QFile::remove(file);
            return fail(QStringLiteral("%1 came out %2x%3 pixels, not %4x%4")
                            .arg(file)
                            .arg(saved.width())
                            .arg(saved.height())
                            .arg(size));
        }
    }
    return 0;
}
