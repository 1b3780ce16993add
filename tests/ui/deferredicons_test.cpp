// The program's style reads the extension buttons' icons when they are first
// drawn, not when the menu bar is made, and draws them exactly as the style
// it is built on.

#include "deferredicons.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMenuBar>
#include <QMainWindow>
#include <QPixmap>
#include <QTest>


namespace {

// The image format plugins this process has loaded, as /proc lists them.
bool imagePluginsLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("imageformats");
}

} // namespace

class DeferredIconsTest : public QObject
{
    Q_OBJECT

private slots:
    // Made before anything reads a picture: a menu bar then needs no image plugin.
    void aMenuBarIsMadeWithoutTheImagePlugins()
    {
        QApplication::setStyle(new DeferredIconStyle);
        QMainWindow window;
        window.setMenuBar(new QMenuBar);
        window.menuBar()->addMenu(QStringLiteral("&File"));
        QVERIFY(!imagePluginsLoaded());
    }

    void theExtensionIconsAreTheBaseStylesAtEveryScale()
    {
        DeferredIconStyle style;
        QStyle *base = style.baseStyle();
        for (const QStyle::StandardPixmap which :
             {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
            const QIcon deferred = style.standardIcon(which);
            const QIcon direct = base->standardIcon(which);
            QVERIFY(!deferred.isNull());
            QCOMPARE(deferred.availableSizes(), direct.availableSizes());
            for (const qreal scale : {1.0, 1.5, 2.0}) {
                for (const QSize size : {QSize(16, 16), QSize(24, 24), QSize(10, 14)}) {
                    const QPixmap a = deferred.pixmap(size, scale);
                    const QPixmap b = direct.pixmap(size, scale);
                    QCOMPARE(a.size(), b.size());
                    QCOMPARE(a.devicePixelRatio(), b.devicePixelRatio());
                    QCOMPARE(a.toImage(), b.toImage());
                }
            }
            QCOMPARE(deferred.pixmap(QSize(16, 16), QIcon::Disabled).toImage(),
                     direct.pixmap(QSize(16, 16), QIcon::Disabled).toImage());
        }
    }
};

QTEST_MAIN(DeferredIconsTest)
#include "deferredicons_test.moc"
