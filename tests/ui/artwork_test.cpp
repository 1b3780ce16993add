#include "artwork.h"
#include "artworkchecks.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QTest>

namespace {

constexpr QRgb Cream = qRgb(0xFF, 0xFE, 0xCD);
constexpr QRgb DarkRed = qRgb(0x9E, 0x00, 0x00);
constexpr QRgb Black = qRgb(0x00, 0x00, 0x00);
constexpr QRgb BoardGreen = qRgb(0x4C, 0x6A, 0x4C);
constexpr int Tile = Artwork::TileSize;

QImage imageOf(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

bool isOpaque(const QImage &image, int x, int y, QRgb rgb)
{
    const QRgb p = image.pixel(x, y);
    return qAlpha(p) == 255 && (p & RGB_MASK) == (rgb & RGB_MASK);
}

// Bounding box of the letter's ink, counting its smoothed edges too.
QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) == 255 && qRed(p) - qGreen(p) > 80)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

int countOf(const QImage &image, QRgb rgb)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += isOpaque(image, x, y, rgb) ? 1 : 0;
    return n;
}

QRgb commonestColour(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb best = 0;
    int bestCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return best;
}

bool hasAnyOpaquePixel(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                return true;
    return false;
}

} // namespace

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void everyTileCodeIsTileSized();
    void unknownCodesGiveTheEmptyCell();
    void letterTilesAreCreamWithCentredRedLetter();
    void eachLetterTileShowsItsOwnLetter();
    void letterTilesLetTheBoardShowAtTheirEdges();
    void framesAreRingsOpenInTheMiddle();
    void emptyCellsAndSlotsCoverTheBoardAndDiffer();
    void picturesHaveTheirFixedSizes();
    void backgroundIsAnOpaqueDarkGreen();
    void logosDrawOnTransparency();
    void timeBarFrameIsOpenWhereTheBarSits();
    void minimumLengthMarkCoversOnlyTheFirstThreeSlots();
    void picturesAreBuiltOnce();
    void iconInThreeSizes();
};

// Codes 0..30 each have their own 42x42 picture.
void ArtworkTest::everyTileCodeIsTileSized()
{
    for (int code = 0; code < Artwork::TileCount; ++code) {
        const QPixmap &pixmap = Artwork::tile(code);
        QVERIFY2(!pixmap.isNull(), qPrintable(QString::number(code)));
        QCOMPARE(pixmap.size(), QSize(Tile, Tile));
    }
}

// Codes outside 0..30 fall back to the empty board cell instead of failing.
void ArtworkTest::unknownCodesGiveTheEmptyCell()
{
    const QImage empty = imageOf(Artwork::tile(Artwork::EmptyCell));
    QCOMPARE(imageOf(Artwork::tile(-1)), empty);
    QCOMPARE(imageOf(Artwork::tile(Artwork::TileCount)), empty);
    QCOMPARE(imageOf(Artwork::tile(1000)), empty);
}

// Letter tiles are mostly #FFFECD with a #9E0000 letter near the middle.
void ArtworkTest::letterTilesAreCreamWithCentredRedLetter()
{
    for (int i = 0; i < 26; ++i) {
        const QString letter(QChar(u'A' + i));
        const QImage image = imageOf(Artwork::tile(Artwork::FirstLetterTile + i));
        QVERIFY2((commonestColour(image) & RGB_MASK) == (Cream & RGB_MASK), qPrintable(letter));
        QVERIFY2(qAlpha(commonestColour(image)) == 255, qPrintable(letter));

        QVERIFY2(countOf(image, DarkRed) > 40, qPrintable(letter));
        const QRect ink = inkBox(image);
        QVERIFY2(qAbs(ink.center().x() - Tile / 2) <= 3, qPrintable(letter));
        QVERIFY2(qAbs(ink.center().y() - Tile / 2) <= 4, qPrintable(letter));
        QVERIFY2(ink.height() >= Tile / 2, qPrintable(letter));
        QVERIFY2(ink.left() >= 3 && ink.right() <= Tile - 4, qPrintable(letter));
    }
}

// No two letter tiles look alike (A and B especially).
void ArtworkTest::eachLetterTileShowsItsOwnLetter()
{
    QCOMPARE_NE(imageOf(Artwork::tile(1)), imageOf(Artwork::tile(2)));
    for (int a = 1; a <= 26; ++a)
        for (int b = a + 1; b <= 26; ++b)
            QVERIFY2(imageOf(Artwork::tile(a)) != imageOf(Artwork::tile(b)),
                     qPrintable(QStringLiteral("%1 %2").arg(a).arg(b)));
}

// The outermost pixel ring of a letter tile is clear so the board shows between tiles.
void ArtworkTest::letterTilesLetTheBoardShowAtTheirEdges()
{
    const QImage image = imageOf(Artwork::tile(1));
    for (int i = 0; i < Tile; ++i) {
        QCOMPARE(qAlpha(image.pixel(i, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(i, Tile - 1)), 0);
        QCOMPARE(qAlpha(image.pixel(0, i)), 0);
        QCOMPARE(qAlpha(image.pixel(Tile - 1, i)), 0);
    }
}

// Frames 27 (dark red) and 28 (black) are solid 2 px inside the edge and clear inside.
void ArtworkTest::framesAreRingsOpenInTheMiddle()
{
    const struct {
        int code;
        QRgb ink;
    } frames[] = {{Artwork::NewestLetterFrame, DarkRed}, {Artwork::WordLetterFrame, Black}};
    constexpr int Mid = Tile / 2;
    for (const auto &frame : frames) {
        const QImage image = imageOf(Artwork::tile(frame.code));
        QVERIFY(isOpaque(image, Mid, 2, frame.ink));
        QVERIFY(isOpaque(image, Mid, Tile - 3, frame.ink));
        QVERIFY(isOpaque(image, 2, Mid, frame.ink));
        QVERIFY(isOpaque(image, Tile - 3, Mid, frame.ink));
        QCOMPARE(qAlpha(image.pixel(Mid, Mid)), 0);
        QCOMPARE(qAlpha(image.pixel(Mid, 8)), 0);
        QCOMPARE(qAlpha(image.pixel(8, Mid)), 0);
        // Drawn over a letter tile, the frame must not reach the gap between tiles.
        QCOMPARE(qAlpha(image.pixel(Mid, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(0, Mid)), 0);
    }
}

// Empty cells and word slots are opaque board green at the edge, and the slot is marked.
void ArtworkTest::emptyCellsAndSlotsCoverTheBoardAndDiffer()
{
    for (const int code : {int(Artwork::EmptyCell), int(Artwork::EmptySlot)}) {
        const QImage image = imageOf(Artwork::tile(code));
        QVERIFY(isSolid(image));
        QVERIFY(isOpaque(image, 0, 0, BoardGreen));
        QVERIFY(isOpaque(image, Tile - 1, Tile - 1, BoardGreen));
    }
    const QImage cell = imageOf(Artwork::tile(Artwork::EmptyCell));
    const QImage slot = imageOf(Artwork::tile(Artwork::EmptySlot));
    QVERIFY(cell.pixel(Tile / 2, Tile / 2) != slot.pixel(Tile / 2, Tile / 2));
}

// Every picture other than the tiles has the size its widget is laid out for.
void ArtworkTest::picturesHaveTheirFixedSizes()
{
    QCOMPARE(Artwork::logo().size(), QSize(216, 42));
    QCOMPARE(Artwork::bigLogo().size(), QSize(104, 104));
    QCOMPARE(Artwork::aboutLogo().size(), QSize(206, 49));
    QCOMPARE(Artwork::timeBar().size(), QSize(168, 20));
    QCOMPARE(Artwork::timeBarFrame().size(), QSize(175, 29));
    QCOMPARE(Artwork::wordsHeading().size(), QSize(118, 21));
    QCOMPARE(Artwork::minLetters().size(), QSize(517, 7));
    QVERIFY(!Artwork::background().isNull());
}

// The window texture is opaque and stays close to #4C6A4C so cream labels read on it.
void ArtworkTest::backgroundIsAnOpaqueDarkGreen()
{
    const QImage image = imageOf(Artwork::background());
    qint64 r = 0, g = 0, b = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            QCOMPARE(qAlpha(p), 255);
            QVERIFY(qAbs(qRed(p) - qRed(BoardGreen)) <= 12);
            QVERIFY(qAbs(qGreen(p) - qGreen(BoardGreen)) <= 12);
            QVERIFY(qAbs(qBlue(p) - qBlue(BoardGreen)) <= 12);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
        }
    }
    const qint64 n = qint64(image.width()) * image.height();
    QVERIFY(qAbs(r / n - qRed(BoardGreen)) <= 4);
    QVERIFY(qAbs(g / n - qGreen(BoardGreen)) <= 4);
    QVERIFY(qAbs(b / n - qBlue(BoardGreen)) <= 4);
}

// The wide logos leave their corners clear and still draw something.
void ArtworkTest::logosDrawOnTransparency()
{
    for (const QPixmap *pixmap : {&Artwork::logo(), &Artwork::aboutLogo()}) {
        const QImage image = imageOf(*pixmap);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
        QVERIFY(hasAnyOpaquePixel(image));
    }
    QVERIFY(hasAnyOpaquePixel(imageOf(Artwork::bigLogo())));
}

// The frame is clear over the whole 165x20 bar at (5,5) and solid around it.
void ArtworkTest::timeBarFrameIsOpenWhereTheBarSits()
{
    const QImage frame = imageOf(Artwork::timeBarFrame());
    const QRect hole(5, 5, 165, 20);
    QVERIFY(isOpenInside(frame, hole));

    // Whatever part of the bar is shown must be solid.
    QVERIFY(isSolid(imageOf(Artwork::timeBar())));
}

// The strip marks each of word slots 1..3 (x 1..128) and nothing to their right.
void ArtworkTest::minimumLengthMarkCoversOnlyTheFirstThreeSlots()
{
    const QImage strip = imageOf(Artwork::minLetters());
    constexpr int SlotPitch = 43;
    constexpr int SlotWidth = 42;
    for (int slot = 0; slot < 3; ++slot) {
        bool marked = false;
        const int left = 1 + slot * SlotPitch;
        for (int x = left; x < left + SlotWidth && !marked; ++x)
            for (int y = 0; y < strip.height() && !marked; ++y)
                marked = qAlpha(strip.pixel(x, y)) == 255;
        QVERIFY2(marked, qPrintable(QString::number(slot + 1)));
    }
    for (int x = 1 + 2 * SlotPitch + SlotWidth; x < strip.width(); ++x)
        for (int y = 0; y < strip.height(); ++y)
            QCOMPARE(qAlpha(strip.pixel(x, y)), 0);
}

// Asking twice hands back the same cached picture, not a fresh paint.
void ArtworkTest::picturesAreBuiltOnce()
{
    QCOMPARE(&Artwork::tile(5), &Artwork::tile(5));
    QCOMPARE(&Artwork::logo(), &Artwork::logo());
    QCOMPARE(Artwork::background().cacheKey(), Artwork::background().cacheKey());
}

// The window icon comes in the sizes desktops ask for, a cream tile with
// its red frame at every size.
void ArtworkTest::iconInThreeSizes()
{
    const QIcon &icon = Artwork::icon();
    QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(32, 32), QSize(64, 64), QSize(128, 128)}));
    const QImage big = icon.pixmap(128).toImage();
    QCOMPARE(big.pixelColor(64, 20), QColor(0xFF, 0xFE, 0xCD));
    const QColor frame = big.pixelColor(64, 6);
    QVERIFY2(frame.red() > 120 && frame.green() < 40, qPrintable(frame.name()));
}

QTEST_MAIN(ArtworkTest)
#include "artwork_test.moc"
