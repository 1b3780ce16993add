// Runs with QT_SCALE_FACTOR=2: every picture must be painted for the doubled
// pixels, not enlarged from the 1:1 one, and the widgets must still lay it
// out in logical pixels.

#include "application.h"
#include "artwork.h"
#include "artworkchecks.h"
#include "board.h"
#include "boardview.h"
#include "slotview.h"
#include "tiledbackground.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QTest>

#include <functional>

namespace {

constexpr QRgb Cream = qRgb(0xFF, 0xFE, 0xCD);
constexpr QRgb DarkRed = qRgb(0x9E, 0x00, 0x00);
constexpr QRgb Black = qRgb(0x00, 0x00, 0x00);
constexpr QRgb BoardGreen = qRgb(0x4C, 0x6A, 0x4C);
constexpr int Tile = Artwork::TileSize;
constexpr int Ratio = 2;
constexpr int Big = Tile * Ratio; // a tile's side in pixels

// The picture's own pixels, to be drawn one for one.
QImage pixelsOf(const QPixmap &pixmap)
{
    QImage image = pixmap.toImage();
    image.setDevicePixelRatio(1);
    return image;
}

// The same, to be read pixel by pixel.
QImage imageOf(const QPixmap &pixmap)
{
    return pixelsOf(pixmap).convertToFormat(QImage::Format_ARGB32);
}

bool closeTo(QRgb p, QRgb rgb, int tolerance)
{
    return qAlpha(p) == 255 && qAbs(qRed(p) - qRed(rgb)) <= tolerance
           && qAbs(qGreen(p) - qGreen(rgb)) <= tolerance && qAbs(qBlue(p) - qBlue(rgb)) <= tolerance;
}

bool isOpaque(const QImage &image, int x, int y, QRgb rgb)
{
    return closeTo(image.pixel(x, y), rgb, 0);
}

bool isInk(QRgb p)
{
    return qAlpha(p) == 255 && qRed(p) - qGreen(p) > 80;
}

QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// A picture enlarged by repeating pixels is made of uniform 2x2 blocks.
int mixedBlocks(const QImage &image, const std::function<bool(int, int)> &counted)
{
    int n = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            if (!counted(x, y))
                continue;
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p || image.pixel(x + 1, y + 1) != p)
                ++n;
        }
    }
    return n;
}

// Lengths of the runs of blended pixels between the tile face and the letter
// along one row; a smoothed enlargement smears each edge over two or more.
QList<int> edgeWidths(const QImage &image, int y)
{
    QList<int> widths;
    int run = 0;
    bool seenSolid = false;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y);
        const bool solid = closeTo(p, Cream, 6) || closeTo(p, DarkRed, 6);
        if (!solid && qAlpha(p) == 255) {
            ++run;
            continue;
        }
        // Runs that start or end on clear pixels are the tile's own rim.
        if (solid && seenSolid && run > 0)
            widths << run;
        seenSolid = solid;
        run = 0;
    }
    return widths;
}

// The largest change between two neighbouring pixels, in any channel of
// the premultiplied colour. Enlarging with smoothing halves every step.
int steepestStep(const QPixmap &pixmap)
{
    const QImage image = pixelsOf(pixmap).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto step = [](QRgb a, QRgb b) {
        return qMax(qMax(qAbs(qAlpha(a) - qAlpha(b)), qAbs(qRed(a) - qRed(b))),
                    qMax(qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))));
    };
    int steepest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (x + 1 < image.width())
                steepest = qMax(steepest, step(image.pixel(x, y), image.pixel(x + 1, y)));
            if (y + 1 < image.height())
                steepest = qMax(steepest, step(image.pixel(x, y), image.pixel(x, y + 1)));
        }
    }
    return steepest;
}

int shade(const QImage &image, int x, int y)
{
    const int w = image.width();
    const int h = image.height();
    return qGreen(image.pixel(((x % w) + w) % w, ((y % h) + h) % h)) - qGreen(BoardGreen);
}

// Mean shade of the diagonal x + slope * y = s (slope 1 or -1) over the
// stretch where x, or y when byRow, runs from 'from' up to 'to'.
double diagonalMean(const QImage &image, int s, int slope, bool byRow, int from, int to)
{
    double sum = 0;
    for (int t = from; t < to; ++t)
        sum += byRow ? shade(image, s - slope * t, t) : shade(image, t, slope * (s - t));
    return sum / (to - from);
}

struct Picture {
    QString name;
    QPixmap pixmap;
    QSize logical;
};

// Every picture other than the tiles and the texture, with its logical size.
QList<Picture> pictures()
{
    return {
        {QStringLiteral("logo"), Artwork::logo(), QSize(216, 42)},
        {QStringLiteral("bigLogo"), Artwork::bigLogo(), QSize(104, 104)},
        {QStringLiteral("aboutLogo"), Artwork::aboutLogo(), QSize(206, 49)},
        {QStringLiteral("timeBar"), Artwork::timeBar(), QSize(168, 20)},
        {QStringLiteral("timeBarFrame"), Artwork::timeBarFrame(), QSize(175, 29)},
        {QStringLiteral("wordsHeading"), Artwork::wordsHeading(), QSize(118, 21)},
        {QStringLiteral("minLetters"), Artwork::minLetters(), QSize(517, 7)},
    };
}

} // namespace

class ArtworkScaleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyPictureHasTwiceThePixelsOfItsSize();
    void tilesKeepTheirLayoutInTheFinerPixels();
    void tilesArePaintedAfreshNotEnlarged();
    void picturesArePaintedAfreshNotEnlarged();
    void timeBarFrameIsOpenExactlyWhereTheBarSits();
    void backgroundWrapsWithoutASeam();
    void iconIsPaintedAtEachOfItsSizes();
    void boardShowsEachTileAtItsCell();
    void slotAndBackgroundKeepTheirLogicalSize();
};

void ArtworkScaleTest::initTestCase()
{
    // Without the doubled scale this whole file would test nothing.
    QCOMPARE(qApp->devicePixelRatio(), qreal(Ratio));
}

// Each picture is backed by twice its logical width and height and says so,
// so Qt shows it pixel for pixel at its usual logical size.
void ArtworkScaleTest::everyPictureHasTwiceThePixelsOfItsSize()
{
    for (int code = 0; code < Artwork::TileCount; ++code) {
        const QPixmap &pixmap = Artwork::tile(code);
        QVERIFY2(pixmap.devicePixelRatio() == Ratio, qPrintable(QString::number(code)));
        QCOMPARE(pixmap.size(), QSize(Big, Big));
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(Tile, Tile));
    }
    for (const Picture &picture : pictures()) {
        QVERIFY2(picture.pixmap.devicePixelRatio() == Ratio, qPrintable(picture.name));
        QVERIFY2(picture.pixmap.size() == picture.logical * Ratio, qPrintable(picture.name));
        QVERIFY2(picture.pixmap.deviceIndependentSize() == QSizeF(picture.logical), qPrintable(picture.name));
    }
    const QPixmap &background = Artwork::background();
    QCOMPARE(background.devicePixelRatio(), qreal(Ratio));
    QCOMPARE(QSizeF(background.size()), background.deviceIndependentSize() * Ratio);
}

// The 1:1 layout holds at twice the pixels: the board gap, the centred
// letter, the frames' rings and the marked slot.
void ArtworkScaleTest::tilesKeepTheirLayoutInTheFinerPixels()
{
    for (int i = 0; i < 26; ++i) {
        const QString letter(QChar(u'A' + i));
        const QImage image = imageOf(Artwork::tile(Artwork::FirstLetterTile + i));
        // The outermost logical pixel is two pixels here, and both stay clear.
        for (int k = 0; k < Big; ++k) {
            for (const int edge : {0, 1, Big - 2, Big - 1}) {
                QVERIFY2(qAlpha(image.pixel(k, edge)) == 0, qPrintable(letter));
                QVERIFY2(qAlpha(image.pixel(edge, k)) == 0, qPrintable(letter));
            }
        }
        QVERIFY2(closeTo(image.pixel(Big / 2, 6), Cream, 0), qPrintable(letter));
        const QRect ink = inkBox(image);
        QVERIFY2(qAbs(ink.center().x() - Big / 2) <= 6, qPrintable(letter));
        QVERIFY2(qAbs(ink.center().y() - Big / 2) <= 8, qPrintable(letter));
        QVERIFY2(ink.height() >= Big / 2, qPrintable(letter));
        QVERIFY2(ink.left() >= 6 && ink.right() <= Big - 8, qPrintable(letter));
    }

    const struct {
        int code;
        QRgb ink;
    } frames[] = {{Artwork::NewestLetterFrame, DarkRed}, {Artwork::WordLetterFrame, Black}};
    constexpr int Mid = Big / 2;
    for (const auto &frame : frames) {
        const QImage image = imageOf(Artwork::tile(frame.code));
        // Logical pixels 2 and 39 are pixels 4..5 and 78..79.
        for (const int at : {4, 5, Big - 6, Big - 5}) {
            QVERIFY(isOpaque(image, Mid, at, frame.ink));
            QVERIFY(isOpaque(image, at, Mid, frame.ink));
        }
        for (const int at : {0, 1}) {
            QCOMPARE(qAlpha(image.pixel(Mid, at)), 0);
            QCOMPARE(qAlpha(image.pixel(at, Mid)), 0);
        }
        QCOMPARE(qAlpha(image.pixel(Mid, Mid)), 0);
        QCOMPARE(qAlpha(image.pixel(Mid, 16)), 0);
    }

    const QImage cell = imageOf(Artwork::tile(Artwork::EmptyCell));
    const QImage slot = imageOf(Artwork::tile(Artwork::EmptySlot));
    for (const QImage *image : {&cell, &slot}) {
        for (int y = 0; y < Big; ++y)
            for (int x = 0; x < Big; ++x)
                QCOMPARE(qAlpha(image->pixel(x, y)), 255);
        QVERIFY(isOpaque(*image, 0, 0, BoardGreen));
        QVERIFY(isOpaque(*image, Big - 1, Big - 1, BoardGreen));
    }
    QVERIFY(cell.pixel(Mid, Mid) != slot.pixel(Mid, Mid));
}

// Letters and rounded corners are drawn on the finer pixel grid: their
// smoothed edges are no wider than one pixel of it, which neither a
// repeated-pixel nor a smoothed enlargement of the 1:1 tile can give.
void ArtworkScaleTest::tilesArePaintedAfreshNotEnlarged()
{
    for (int code = 0; code < Artwork::TileCount; ++code) {
        const QImage image = imageOf(Artwork::tile(code));
        QVERIFY2(mixedBlocks(image, [](int, int) { return true; }) > 0, qPrintable(QString::number(code)));
    }
    for (int i = 0; i < 26; ++i) {
        const QImage image = imageOf(Artwork::tile(Artwork::FirstLetterTile + i));
        const auto onLetter = [&image](int x, int y) {
            return isInk(image.pixel(x, y)) || isInk(image.pixel(x + 1, y + 1));
        };
        QVERIFY2(mixedBlocks(image, onLetter) > 4, qPrintable(QString(QChar(u'A' + i))));
    }
    // Upright stems crossed half way down: one edge each side, each sharp.
    for (const char letter : {'I', 'L', 'T'}) {
        const QImage image = imageOf(Artwork::tile(Artwork::FirstLetterTile + (letter - 'A')));
        const QList<int> widths = edgeWidths(image, Big / 2);
        QVERIFY2(widths.size() <= 2, qPrintable(QString(QChar(letter))));
        for (const int width : widths)
            QVERIFY2(width <= 1, qPrintable(QStringLiteral("%1: %2").arg(letter).arg(width)));
    }
}

// The other pictures are not enlargements either: neither blocky nor
// smoothed.
void ArtworkScaleTest::picturesArePaintedAfreshNotEnlarged()
{
    for (const Picture &picture : pictures()) {
        QVERIFY2(mixedBlocks(imageOf(picture.pixmap), [](int, int) { return true; }) > 0, qPrintable(picture.name));
        // Hard edges step from clear to solid within a pixel; the bar's
        // sharpest detail is its notches, about 40 apart.
        const int least = picture.name == QLatin1String("timeBar") ? 32 : 200;
        const int steepest = steepestStep(picture.pixmap);
        QVERIFY2(steepest >= least, qPrintable(QStringLiteral("%1: %2").arg(picture.name).arg(steepest)));
    }
    // The wide logos still leave their corners clear and draw something.
    for (const QPixmap *pixmap : {&Artwork::logo(), &Artwork::aboutLogo()}) {
        const QImage image = imageOf(*pixmap);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
        QVERIFY(inkBox(image).width() > image.width() / 2);
    }
}

// The opening sits at logical (5,5) 165x20, which is (10,10) 330x40 here,
// with solid frame right around it.
void ArtworkScaleTest::timeBarFrameIsOpenExactlyWhereTheBarSits()
{
    const QImage frame = imageOf(Artwork::timeBarFrame());
    const QRect hole(10, 10, 330, 40);
    QVERIFY(isOpenInside(frame, hole));
    QVERIFY(isSolid(imageOf(Artwork::timeBar())));
}

// The texture stays an opaque dark green, and its faint diagonal lattice
// runs on unbroken where one copy meets the next, across and down.
void ArtworkScaleTest::backgroundWrapsWithoutASeam()
{
    const QImage image = imageOf(Artwork::background());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QCOMPARE(qAlpha(image.pixel(x, y)), 255);
            QVERIFY(closeTo(image.pixel(x, y), BoardGreen, 12));
        }
    }

    const int w = image.width();
    const int h = image.height();
    for (const int slope : {1, -1}) {
        int lines = 0;
        for (int s = 0; s < w; ++s) {
            // Half a copy each side of the join, across and down.
            const double l = diagonalMean(image, s, slope, false, w / 2, w);
            const double r = diagonalMean(image, s, slope, false, w, w + w / 2);
            const double a = diagonalMean(image, s, slope, true, h / 2, h);
            const double b = diagonalMean(image, s, slope, true, h, h + h / 2);
            QVERIFY2(qAbs(l - r) < 1.5, qPrintable(QStringLiteral("%1 %2: %3 %4").arg(slope).arg(s).arg(l).arg(r)));
            QVERIFY2(qAbs(a - b) < 1.5, qPrintable(QStringLiteral("%1 %2: %3 %4").arg(slope).arg(s).arg(a).arg(b)));
            if (l < -2 && r < -2)
                ++lines;
        }
        // The lattice is there to be broken: several dark diagonals each way.
        QVERIFY2(lines >= 4, qPrintable(QString::number(lines)));
    }
}

// Each icon size is painted for itself: the T's stem has crisp edges at
// 32, 64 and 128 pixels, framed in red.
void ArtworkScaleTest::iconIsPaintedAtEachOfItsSizes()
{
    const QIcon &icon = Artwork::icon();
    QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(32, 32), QSize(64, 64), QSize(128, 128)}));
    for (const int size : {32, 64, 128}) {
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(size, size));
        // Half way through the frame's three logical pixels.
        const QRgb frame = image.pixel(size / 2, int(2.5 * size / Tile));
        QVERIFY2(qRed(frame) > 120 && qGreen(frame) < 40, qPrintable(QString::number(size)));
        const QList<int> widths = edgeWidths(image, size * 5 / 8);
        // The stem's two edges and the frame's inner edge on each side.
        QVERIFY2(widths.size() >= 2 && widths.size() <= 4, qPrintable(QString::number(size)));
        for (const int width : widths)
            QVERIFY2(width <= 1, qPrintable(QStringLiteral("%1: %2").arg(size).arg(width)));
    }
}

// The board surface keeps its logical size, and every cell shows its tile
// and frame pixel for pixel at twice its logical place.
void ArtworkScaleTest::boardShowsEachTileAtItsCell()
{
    Board board;
    int n = 0;
    board.createboard([&n] { return 1 + (n++ * 37) % 98; });
    board.appendcell(0, 0);
    board.appendcell(1, 1);
    board.appendcell(2, 1);

    BoardView view(board);
    view.resize(BoardView::SurfaceWidth, BoardView::SurfaceHeight);
    const QPixmap grabbed = view.grab();
    QCOMPARE(grabbed.deviceIndependentSize(), QSizeF(BoardView::SurfaceWidth, BoardView::SurfaceHeight));
    QCOMPARE(grabbed.size(), QSize(BoardView::SurfaceWidth, BoardView::SurfaceHeight) * Ratio);
    const QImage shown = imageOf(grabbed);

    for (int column = 0; column < Board::Size; ++column) {
        for (int row = 0; row < Board::Size; ++row) {
            QImage expected(Big, Big, QImage::Format_RGB32);
            expected.fill(QColor::fromRgb(BoardGreen));
            QPainter painter(&expected);
            painter.drawImage(0, 0, pixelsOf(Artwork::tile(board.boardletters(column, row))));
            if (board.boardmarks(column, row) != -1)
                painter.drawImage(0, 0, pixelsOf(Artwork::tile(board.boardmarks(column, row))));
            painter.end();
            QVERIFY2(shown.copy(column * Big, row * Big, Big, Big) == expected.convertToFormat(QImage::Format_ARGB32),
                     qPrintable(QStringLiteral("%1,%2").arg(column).arg(row)));
        }
    }
    // The three spare rows under the board show plain board.
    for (int y = Board::Size * Big; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            QVERIFY(isOpaque(shown, x, y, BoardGreen));
    // Framed cells really are framed: red on the newest, black before it.
    QVERIFY(isOpaque(shown, 2 * Big + Big / 2, Big + 5, DarkRed));
    QVERIFY(isOpaque(shown, Big + Big / 2, Big + 5, Black));
}

// A word slot is one tile in logical size; the tiled window background
// repeats the texture with no gap or overlap at the finer pixels.
void ArtworkScaleTest::slotAndBackgroundKeepTheirLogicalSize()
{
    Board board;
    int n = 0;
    board.createboard([&n] { return 1 + (n++ * 11) % 98; });
    board.appendcell(3, 4);
    for (const int slotNumber : {1, 2}) {
        SlotView slot(board, slotNumber);
        QCOMPARE(slot.size(), QSize(Tile, Tile));
        const QPixmap grabbed = slot.grab();
        QCOMPARE(grabbed.size(), QSize(Big, Big));
        const QImage expected = imageOf(Artwork::tile(board.slotTile(slotNumber)));
        const QImage shown = imageOf(grabbed);
        // The slot paints no background of its own, so only the tile's opaque pixels count.
        for (int y = 0; y < Big; ++y)
            for (int x = 0; x < Big; ++x)
                if (qAlpha(expected.pixel(x, y)) == 255)
                    QVERIFY2(shown.pixel(x, y) == expected.pixel(x, y),
                             qPrintable(QStringLiteral("%1: %2,%3").arg(slotNumber).arg(x).arg(y)));
    }

    TiledBackground background;
    background.setPicture(Artwork::background());
    background.resize(150, 110);
    const QImage texture = imageOf(Artwork::background());
    const QPixmap grabbed = background.grab();
    QCOMPARE(grabbed.deviceIndependentSize(), QSizeF(150, 110));
    const QImage shown = imageOf(grabbed);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            QVERIFY2(shown.pixel(x, y) == texture.pixel(x % texture.width(), y % texture.height()),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

int main(int argc, char **argv)
{
    Application app(argc, argv);
    ArtworkScaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "artwork_scale_test.moc"
