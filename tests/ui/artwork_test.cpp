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
    void theBuildStoresEveryPictureAsPaintedNow();
    void theProgramShowsTheStoredPictures();
    void aStoredCopyGivesBackEveryPixel();
    void anythingButAStoredCopyIsRefused();
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

// The copies the build painted are the pictures the code paints today, pixel
// for pixel, format and scale alike: reading them instead changes nothing.
void ArtworkTest::theBuildStoresEveryPictureAsPaintedNow()
{
    QCOMPARE(Artwork::names().size(), 3 + Artwork::TileCount + 8);
    for (const QString &name : Artwork::names()) {
        const QImage stored = Artwork::stored(name);
        const QImage painted = Artwork::paint(name, 1);
        QVERIFY2(!stored.isNull(), qPrintable(name));
        QCOMPARE(stored.format(), painted.format());
        QCOMPARE(stored.devicePixelRatio(), 1.0);
        QVERIFY2(stored == painted, qPrintable(name));
    }
    QVERIFY(Artwork::stored(QStringLiteral("no-such-picture")).isNull());
    QVERIFY(Artwork::paint(QStringLiteral("no-such-picture"), 1).isNull());
}

// At 100 % every picture the windows get is the stored one.
void ArtworkTest::theProgramShowsTheStoredPictures()
{
    QCOMPARE(qApp->devicePixelRatio(), 1.0);
    // A pixmap keeps an opaque picture without its alpha channel.
    const auto same = [](const QPixmap &shown, const char *name) {
        const QImage stored = Artwork::stored(QString::fromLatin1(name));
        return shown.toImage().convertToFormat(stored.format()) == stored;
    };
    QVERIFY(same(Artwork::logo(), "logo"));
    QVERIFY(same(Artwork::bigLogo(), "biglogo"));
    QVERIFY(same(Artwork::aboutLogo(), "aboutlogo"));
    QVERIFY(same(Artwork::background(), "background"));
    QVERIFY(same(Artwork::timeBar(), "timebar"));
    QVERIFY(same(Artwork::timeBarFrame(), "timebarframe"));
    QVERIFY(same(Artwork::wordsHeading(), "wordsheading"));
    QVERIFY(same(Artwork::minLetters(), "minletters"));
    QVERIFY(same(Artwork::tile(Artwork::EmptySlot), "tile-30"));
    QVERIFY(same(Artwork::tile(Artwork::FirstLetterTile), "tile-01"));
    QVERIFY(same(Artwork::icon().pixmap(64), "icon-64"));
}

// Half-transparent premultiplied pixels, an opaque picture and a scale all
// come back as they went in.
void ArtworkTest::aStoredCopyGivesBackEveryPixel()
{
    QImage see(7, 3, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < see.height(); ++y)
        for (int x = 0; x < see.width(); ++x)
            see.setPixel(x, y, qRgba(x * 3, y, x + y, x * 5 + y));
    see.setDevicePixelRatio(2);
    const QImage back = Artwork::decode(Artwork::encode(see));
    QCOMPARE(back.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(back.devicePixelRatio(), 2.0);
    QVERIFY(back == see);

    QImage opaque(5, 4, QImage::Format_RGB32);
    opaque.fill(qRgb(0x4C, 0x6A, 0x4C));
    QCOMPARE(Artwork::decode(Artwork::encode(opaque)).format(), QImage::Format_RGB32);
    QVERIFY(Artwork::decode(Artwork::encode(opaque)) == opaque);
}

// A damaged, cut or foreign copy reads as no picture, never as a wrong one.
void ArtworkTest::anythingButAStoredCopyIsRefused()
{
    QImage picture(4, 4, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::red);
    const QByteArray good = Artwork::encode(picture);
    QVERIFY(!Artwork::decode(good).isNull());
    QVERIFY(Artwork::decode(QByteArray()).isNull());
    QVERIFY(Artwork::decode(good.left(good.size() - 1)).isNull());
    QVERIFY(Artwork::decode(good + 'x').isNull());
    QByteArray magic = good;
    magic[0] = 'X';
    QVERIFY(Artwork::decode(magic).isNull());
    QByteArray format = good;
    format[8] = char(QImage::Format_Mono);
    QVERIFY(Artwork::decode(format).isNull());
    QByteArray scale = good;
    scale[12] = scale[13] = scale[14] = scale[15] = 0;
    QVERIFY(Artwork::decode(scale).isNull());
}

QTEST_MAIN(ArtworkTest)
#include "artwork_test.moc"
