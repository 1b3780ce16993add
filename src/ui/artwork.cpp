#include "artwork.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>
#include <QPointF>
#include <QResource>
#include <QtEndian>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr QRgb TileFace = qRgb(0xFF, 0xFE, 0xCD);
constexpr QRgb TileLight = qRgb(0xFF, 0xFF, 0xFF);
constexpr QRgb TileEdge = qRgb(0xE4, 0xDE, 0x9E);
constexpr QRgb TileShadow = qRgb(0xA4, 0x9C, 0x62);
constexpr QRgb LetterRed = qRgb(0x9E, 0x00, 0x00);
constexpr QRgb Board = qRgb(0x4C, 0x6A, 0x4C);
constexpr QRgb BoardDeep = qRgb(0x45, 0x61, 0x45);
constexpr QRgb BoardDark = qRgb(0x34, 0x4C, 0x35);
constexpr QRgb BoardLight = qRgb(0x62, 0x82, 0x61);
constexpr QRgb LabelCream = qRgb(0xFF, 0xFF, 0xC6);
constexpr QRgb ButtonRed = qRgb(0xA4, 0x00, 0x00);
constexpr QRgb DeepRed = qRgb(0x5C, 0x00, 0x00);

constexpr int TileRadius = 4;
constexpr int FrameWidth = 3;

QColor colour(QRgb rgb, int alpha = 255)
{
    QColor c = QColor::fromRgb(rgb);
    c.setAlpha(alpha);
    return c;
}

// Pictures are painted for the sharpest screen there is, so none of them is
// blown up by Qt on a scaled display.
qreal pixelRatio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

constexpr auto StoredFolder = ":/artwork/";
constexpr auto StoredSuffix = ".argb";
constexpr char StoredMagic[4] = {'T', 'S', 'P', 'X'};
constexpr int HeaderSize = 16;

// Transparent, with ratio times the pixels of the given size; painters on it
// still work in the logical size.
QImage canvas(int width, int height, qreal ratio)
{
    QImage image(QSize(width, height) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

QFont boldFont(qreal pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(qRound(pixelSize));
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The tile body sits one pixel in from every edge so two tiles side by side
// leave a two pixel seam of board showing between them.
QRectF tileBody()
{
    return QRectF(1, 1, Artwork::TileSize - 2, Artwork::TileSize - 2);
}

void paintBlankTile(QPainter &p, QRgb face)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    const QRectF body = tileBody();
    // Layered rounded rects: dark rim bottom-right, bright rim top-left,
    // soft edge band, then the flat face.
    p.setBrush(colour(TileShadow));
    p.drawRoundedRect(body, TileRadius, TileRadius);
    p.setBrush(colour(TileEdge));
    p.drawRoundedRect(body.adjusted(0, 0, -1, -1), TileRadius, TileRadius);
    p.setBrush(colour(TileLight));
    p.drawRoundedRect(body.adjusted(0, 0, -2, -2), TileRadius, TileRadius);
    p.setBrush(colour(face));
    p.drawRoundedRect(body.adjusted(1, 1, -2, -2), TileRadius - 1, TileRadius - 1);
}

void paintLetter(QPainter &p, QChar letter)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QFont font = boldFont(31);
    const QFontMetricsF metrics(font);
    const QString text(letter);
    // Centre on the ink, not the advance, and share one baseline so a row of
    // letters lines up; Q's tail is allowed to hang below.
    const QRectF ink = metrics.tightBoundingRect(text);
    const qreal capHeight = metrics.capHeight();
    const qreal faceCentreX = 1 + (Artwork::TileSize - 3) / 2.0;
    const qreal faceCentreY = 1 + (Artwork::TileSize - 3) / 2.0;
    const QPointF baseline(qRound(faceCentreX - ink.center().x()),
                           qRound(faceCentreY + capHeight / 2));

    p.setFont(font);
    p.setPen(colour(LetterRed));
    p.drawText(baseline, text);
}

void paintFrame(QPainter &p, QRgb ink)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = tileBody();
    const QRectF inner = outer.adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth);
    QPainterPath ring;
    ring.addRoundedRect(outer, TileRadius, TileRadius);
    ring.addRoundedRect(inner, 1.5, 1.5);
    ring.setFillRule(Qt::OddEvenFill);
    p.fillPath(ring, colour(ink));
}

void paintSunkenCell(QPainter &p)
{
    p.fillRect(0, 0, Artwork::TileSize, Artwork::TileSize, colour(Board));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF well(2, 2, Artwork::TileSize - 4, Artwork::TileSize - 4);
    p.setBrush(colour(BoardLight));
    p.drawRoundedRect(well, 3, 3);
    p.setBrush(colour(BoardDark));
    p.drawRoundedRect(well.adjusted(0, 0, -1, -1), 3, 3);
    p.setBrush(colour(BoardDeep));
    p.drawRoundedRect(well.adjusted(1, 1, -1, -1), 2, 2);
}

void paintEmptySlot(QPainter &p)
{
    paintSunkenCell(p);
    const QPointF c(20.5, 20.5);
    constexpr qreal r = 6;
    QPainterPath diamond;
    diamond.moveTo(c + QPointF(0, -r));
    diamond.lineTo(c + QPointF(r, 0));
    diamond.lineTo(c + QPointF(0, r));
    diamond.lineTo(c + QPointF(-r, 0));
    diamond.closeSubpath();
    // Pressed into the slot like the cells: lit on the lower right edge.
    p.fillPath(diamond.translated(1, 1), colour(BoardLight));
    p.fillPath(diamond, colour(BoardDark));
}

template <typename Paint>
QImage paintedTile(qreal ratio, Paint paint)
{
    QImage image = canvas(Artwork::TileSize, Artwork::TileSize, ratio);
    QPainter p(&image);
    paint(p);
    p.end();
    return image;
}

QImage makeTile(int code, qreal ratio)
{
    switch (code) {
    case Artwork::BlankTile:
        return paintedTile(ratio, [](QPainter &p) { paintBlankTile(p, qRgb(0xFF, 0xFF, 0xFF)); });
    case Artwork::NewestLetterFrame:
        return paintedTile(ratio, [](QPainter &p) { paintFrame(p, LetterRed); });
    case Artwork::WordLetterFrame:
        return paintedTile(ratio, [](QPainter &p) { paintFrame(p, qRgb(0, 0, 0)); });
    case Artwork::EmptyCell:
        return paintedTile(ratio, paintSunkenCell);
    case Artwork::EmptySlot:
        return paintedTile(ratio, paintEmptySlot);
    default:
        return paintedTile(ratio, [code](QPainter &p) {
            paintBlankTile(p, TileFace);
            paintLetter(p, QChar(u'A' + code - Artwork::FirstLetterTile));
        });
    }
}

// Same numbers every run, so the texture never changes between starts.
std::uint32_t hashNoise(std::uint32_t x, std::uint32_t y)
{
    std::uint32_t h = x * 374761393u + y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// True where v, taken modulo period, lies in [-width/2, width/2).
bool onLattice(qreal v, int period, qreal width)
{
    const qreal m = std::fmod(v + period / 2.0, period);
    const qreal wrapped = (m < 0 ? m + period : m) - period / 2.0;
    return wrapped >= -width / 2 && wrapped < width / 2;
}

QImage makeBackground(qreal screenRatio)
{
    // Worked out in device pixels: the grain is one pixel whatever the ratio,
    // the lattice lines stay one logical pixel wide and run where they do
    // at 1:1, and the period is whole so the picture still wraps.
    const int period = qMax(1, qRound(16 * screenRatio));
    const qreal ratio = period / 16.0;
    const int size = 4 * period;
    QImage image(size, size, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            int shade = static_cast<int>(hashNoise(x, y) % 5) - 2;
            // A faint diagonal lattice through the centres of the 1:1 line pixels.
            if (onLattice(x + y + 1 - ratio, period, ratio) || onLattice(x - y, period, ratio))
                shade -= 3;
            line[x] = qRgb(qRed(Board) + shade, qGreen(Board) + shade, qBlue(Board) + shade);
        }
    }
    return image;
}

// Lettering of the logos: cream letters with a dark red outline and shadow,
// each letter tipped and lifted a little so the word looks hand-laid.
QPainterPath bouncyText(const QString &text, const QFont &font)
{
    const QFontMetricsF metrics(font);
    QPainterPath path;
    qreal x = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QString ch = text.mid(i, 1);
        const qreal advance = metrics.horizontalAdvance(ch);
        if (!ch.at(0).isSpace()) {
            QPainterPath glyph;
            glyph.addText(0, 0, font, ch);
            const QPointF mid = glyph.boundingRect().center();
            const qreal tilt = (i % 2 == 0) ? -5 : 4;
            const qreal lift = (i % 3 == 1) ? -metrics.height() * 0.05 : 0;
            QTransform t;
            t.translate(x + mid.x(), mid.y() + lift);
            t.rotate(tilt);
            t.translate(-mid.x(), -mid.y());
            path.addPath(t.map(glyph));
        }
        x += advance;
    }
    return path;
}

void paintLettering(QPainter &p, QPainterPath path, const QRectF &area, qreal outline)
{
    // Leave room for the outline and the shadow, then fit the word exactly.
    const QRectF room = area.adjusted(outline, outline, -outline - 1, -outline - 1);
    const QRectF bounds = path.boundingRect();
    const qreal scale = qMin(room.width() / bounds.width(), room.height() / bounds.height());
    QTransform t;
    t.translate(room.center().x(), room.center().y());
    t.scale(scale, scale);
    t.translate(-bounds.center().x(), -bounds.center().y());
    path = t.map(path);

    p.setRenderHint(QPainter::Antialiasing);
    QPainterPathStroker stroker;
    stroker.setWidth(outline * 2);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    const QPainterPath rim = stroker.createStroke(path).united(path);

    p.fillPath(rim.translated(1, 1.5), colour(qRgb(0x1E, 0x2C, 0x1E), 170));
    p.fillPath(rim, colour(LetterRed));
    const QRectF fill = path.boundingRect();
    QLinearGradient face(fill.topLeft(), fill.bottomLeft());
    face.setColorAt(0, colour(qRgb(0xFF, 0xFF, 0xF0)));
    face.setColorAt(0.55, colour(TileFace));
    face.setColorAt(1, colour(qRgb(0xF6, 0xE6, 0x8E)));
    p.fillPath(path, face);
}

QImage makeLogo(int width, int height, qreal ratio)
{
    QImage image = canvas(width, height, ratio);
    QPainter p(&image);
    paintLettering(p, bouncyText(QStringLiteral("Tarvle Solo"), boldFont(64)),
                   QRectF(0, 0, width, height), 2.5);
    p.end();
    return image;
}

QImage makeBigLogo(qreal ratio)
{
    constexpr int Size = 104;
    QImage image = canvas(Size, Size, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A large tile behind the two lines ties the badge to the board.
    p.setPen(Qt::NoPen);
    const QRectF badge(4, 4, Size - 8, Size - 8);
    p.setBrush(colour(BoardDark));
    p.drawRoundedRect(badge.translated(1, 2), 12, 12);
    p.setBrush(colour(ButtonRed));
    p.drawRoundedRect(badge, 12, 12);
    const QRectF field = badge.adjusted(4, 4, -4, -4);
    p.setBrush(colour(Board));
    p.drawRoundedRect(field, 9, 9);
    // Faint board cells behind the lettering.
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(field, 9, 9);
    p.setClipPath(clip);
    p.setRenderHint(QPainter::Antialiasing, false);
    constexpr int Cell = 11;
    for (int y = 0; y < Size; y += Cell)
        for (int x = 0; x < Size; x += Cell)
            p.fillRect(x + 1, y + 1, Cell - 2, Cell - 2, colour(BoardDeep));
    p.restore();
    p.setPen(QPen(colour(LabelCream, 140), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(badge.adjusted(2.5, 2.5, -2.5, -2.5), 10, 10);
    p.setPen(Qt::NoPen);

    const QFont font = boldFont(64);
    QPainterPath top = bouncyText(QStringLiteral("Tarvle"), font);
    QPainterPath bottom = bouncyText(QStringLiteral("Solo"), font);
    const qreal gap = QFontMetricsF(font).capHeight() * 0.25;
    bottom.translate(top.boundingRect().center().x() - bottom.boundingRect().center().x(),
                     top.boundingRect().bottom() - bottom.boundingRect().top() + gap);
    paintLettering(p, top + bottom, field.adjusted(3, 6, -3, -6), 3);
    p.end();
    return image;
}

QImage makeTimeBar(qreal ratio)
{
    constexpr int Width = 168;
    constexpr int Height = 20;
    const QRect area(0, 0, Width, Height);
    QImage image = canvas(Width, Height, ratio);
    QPainter p(&image);
    // Red at the left end, which is all that is left when time is short.
    QLinearGradient hue(0, 0, Width, 0);
    hue.setColorAt(0.0, colour(qRgb(0xC0, 0x10, 0x10)));
    hue.setColorAt(0.3, colour(qRgb(0xE8, 0x70, 0x18)));
    hue.setColorAt(0.6, colour(qRgb(0xEE, 0xC8, 0x2C)));
    hue.setColorAt(1.0, colour(qRgb(0x6C, 0xBC, 0x34)));
    p.fillRect(area, hue);

    // Rounded, glassy body: bright band near the top, shade at the bottom.
    QLinearGradient shine(0, 0, 0, Height);
    shine.setColorAt(0.0, QColor(255, 255, 255, 60));
    shine.setColorAt(0.15, QColor(255, 255, 255, 150));
    shine.setColorAt(0.4, QColor(255, 255, 255, 30));
    shine.setColorAt(0.6, QColor(0, 0, 0, 0));
    shine.setColorAt(1.0, QColor(0, 0, 0, 90));
    p.fillRect(area, shine);

    // Notches every twelve pixels give the eye something to count.
    for (int x = 12; x < Width; x += 12) {
        p.fillRect(x, 2, 1, Height - 4, QColor(0, 0, 0, 40));
        p.fillRect(x + 1, 2, 1, Height - 4, QColor(255, 255, 255, 40));
    }
    p.end();
    return image;
}

QImage makeTimeBarFrame(qreal ratio)
{
    constexpr int Width = 175;
    constexpr int Height = 29;
    const QRect hole(5, 5, 165, 20);
    QImage image = canvas(Width, Height, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour(ButtonRed));
    p.drawRoundedRect(QRectF(0, 0, Width, Height), 7, 7);
    p.setBrush(colour(LabelCream));
    p.drawRoundedRect(QRectF(1.5, 1.5, Width - 3, Height - 3), 5.5, 5.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Dark lip around the opening so the bar looks set into the frame.
    p.fillRect(hole.adjusted(-2, -2, 2, 2), colour(ButtonRed));
    p.fillRect(hole.adjusted(-1, -1, 1, 1), colour(DeepRed));
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(hole, Qt::transparent);
    p.end();
    return image;
}

QImage makeWordsHeading(qreal ratio)
{
    constexpr int Width = 118;
    constexpr int Height = 21;
    QImage image = canvas(Width, Height, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF ribbon(0, 0, Width, Height);
    p.setBrush(colour(DeepRed));
    p.drawRoundedRect(ribbon, 5, 5);
    p.setBrush(colour(LetterRed));
    p.drawRoundedRect(ribbon.adjusted(1, 1, -1, -1), 4, 4);
    QLinearGradient gloss(0, 1, 0, Height / 2.0);
    gloss.setColorAt(0, QColor(255, 255, 255, 70));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(1, 1, Width - 2, Height / 2.0), 4, 4);

    QFont font = boldFont(12);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(font);
    p.setPen(colour(DeepRed));
    p.drawText(ribbon.translated(0, 1), Qt::AlignCenter, QStringLiteral("WORDS FOUND"));
    p.setPen(colour(LabelCream));
    p.drawText(ribbon, Qt::AlignCenter, QStringLiteral("WORDS FOUND"));
    p.end();
    return image;
}

QImage makeMinLetters(qreal ratio)
{
    constexpr int Width = 517;
    constexpr int Height = 7;
    constexpr int SlotStart = 1;
    constexpr int SlotWidth = 42;
    constexpr int SlotPitch = 43;
    constexpr int MarkedSlots = 3;
    QImage image = canvas(Width, Height, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    // One bar under each slot a word needs, so the count reads at a glance.
    for (int slot = 0; slot < MarkedSlots; ++slot) {
        const QRectF bar(SlotStart + slot * SlotPitch + 4, 0, SlotWidth - 8, Height - 1);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawRoundedRect(bar.translated(0, 1), 3, 3);
        p.setBrush(colour(DeepRed));
        p.drawRoundedRect(bar, 3, 3);
        p.setBrush(colour(LabelCream));
        p.drawRoundedRect(bar.adjusted(1, 1, -1, -1), 2, 2);
    }
    p.end();
    return image;
}

// Painted at each size rather than shrunk from the tile, which would soften
// the letter and the frame; at one pixel a pixel whatever the screen.
QImage makeIcon(int size)
{
    QImage image = canvas(size, size, 1);
    QPainter p(&image);
    p.scale(size / qreal(Artwork::TileSize), size / qreal(Artwork::TileSize));
    paintBlankTile(p, TileFace);
    paintLetter(p, QChar(u'T'));
    paintFrame(p, LetterRed);
    p.end();
    return image;
}

constexpr int IconSizes[] = {32, 64, 128};

QString tileName(int code)
{
    return QStringLiteral("tile-%1").arg(code, 2, 10, QLatin1Char('0'));
}

QString iconName(int size)
{
    return QStringLiteral("icon-%1").arg(size);
}

// The screen's scale unless the picture has a fixed one.
QImage paintNamed(const QString &name, qreal ratio)
{
    for (int size : IconSizes) {
        if (name == iconName(size))
            return makeIcon(size);
    }
    for (int code = 0; code < Artwork::TileCount; ++code) {
        if (name == tileName(code))
            return makeTile(code, ratio);
    }
    if (name == QLatin1String("background"))
        return makeBackground(ratio);
    if (name == QLatin1String("logo"))
        return makeLogo(216, 42, ratio);
    if (name == QLatin1String("biglogo"))
        return makeBigLogo(ratio);
    if (name == QLatin1String("aboutlogo"))
        return makeLogo(206, 49, ratio);
    if (name == QLatin1String("timebar"))
        return makeTimeBar(ratio);
    if (name == QLatin1String("timebarframe"))
        return makeTimeBarFrame(ratio);
    if (name == QLatin1String("wordsheading"))
        return makeWordsHeading(ratio);
    if (name == QLatin1String("minletters"))
        return makeMinLetters(ratio);
    return QImage();
}

// The build's copy at 1:1 screens, painted on any other; the icon's sizes
// are the same on every screen.
QPixmap picture(const QString &name)
{
    const qreal ratio = pixelRatio();
    if (ratio == 1.0 || name.startsWith(QLatin1String("icon-"))) {
        if (const QImage stored = Artwork::stored(name); !stored.isNull())
            return QPixmap::fromImage(stored);
    }
    return QPixmap::fromImage(paintNamed(name, ratio));
}

std::array<QPixmap, Artwork::TileCount> makeTiles()
{
    std::array<QPixmap, Artwork::TileCount> tiles;
    for (int code = 0; code < Artwork::TileCount; ++code)
        tiles[std::size_t(code)] = picture(tileName(code));
    return tiles;
}

} // namespace

const QStringList &Artwork::names()
{
    static const QStringList list = [] {
        QStringList result;
        for (int size : IconSizes)
            result << iconName(size);
        for (int code = 0; code < TileCount; ++code)
            result << tileName(code);
        result << QStringLiteral("background") << QStringLiteral("logo") << QStringLiteral("biglogo")
               << QStringLiteral("aboutlogo") << QStringLiteral("timebar") << QStringLiteral("timebarframe")
               << QStringLiteral("wordsheading") << QStringLiteral("minletters");
        return result;
    }();
    return list;
}

QImage Artwork::paint(const QString &name, qreal ratio)
{
    return paintNamed(name, ratio);
}

QImage Artwork::stored(const QString &name)
{
    const QResource resource(QLatin1String(StoredFolder) + name + QLatin1String(StoredSuffix));
    if (!resource.isValid())
        return QImage();
    return decode(resource.uncompressedData());
}

QByteArray Artwork::encode(const QImage &image)
{
    const QImage::Format format = image.format() == QImage::Format_RGB32 ? QImage::Format_RGB32
                                                                          : QImage::Format_ARGB32_Premultiplied;
    const QImage pixels = image.convertToFormat(format);
    const int rowBytes = pixels.width() * 4;
    QByteArray bytes(HeaderSize, '\0');
    std::memcpy(bytes.data(), StoredMagic, sizeof StoredMagic);
    qToLittleEndian<quint16>(quint16(pixels.width()), bytes.data() + 4);
    qToLittleEndian<quint16>(quint16(pixels.height()), bytes.data() + 6);
    qToLittleEndian<quint32>(quint32(format), bytes.data() + 8);
    qToLittleEndian<quint32>(quint32(qRound(pixels.devicePixelRatio() * 1000)), bytes.data() + 12);
    bytes.reserve(HeaderSize + qsizetype(rowBytes) * pixels.height());
    for (int y = 0; y < pixels.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(pixels.constScanLine(y)), rowBytes);
    return bytes;
}

QImage Artwork::decode(const QByteArray &bytes)
{
    if (bytes.size() < HeaderSize || std::memcmp(bytes.constData(), StoredMagic, sizeof StoredMagic) != 0)
        return QImage();
    const int width = qFromLittleEndian<quint16>(bytes.constData() + 4);
    const int height = qFromLittleEndian<quint16>(bytes.constData() + 6);
    const quint32 format = qFromLittleEndian<quint32>(bytes.constData() + 8);
    const quint32 permille = qFromLittleEndian<quint32>(bytes.constData() + 12);
    const int rowBytes = width * 4;
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) || permille == 0
        || bytes.size() != HeaderSize + qsizetype(rowBytes) * height)
        return QImage();
    QImage image(width, height, QImage::Format(format));
    if (image.isNull())
        return QImage();
    image.setDevicePixelRatio(permille / 1000.0);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), bytes.constData() + HeaderSize + qsizetype(rowBytes) * y, size_t(rowBytes));
    return image;
}

const QPixmap &Artwork::tile(int code)
{
    static const std::array<QPixmap, TileCount> tiles = makeTiles();
    if (code < 0 || code >= TileCount)
        code = EmptyCell;
    return tiles[static_cast<std::size_t>(code)];
}

const QPixmap &Artwork::background()
{
    static const QPixmap pixmap = picture(QStringLiteral("background"));
    return pixmap;
}

const QPixmap &Artwork::logo()
{
    static const QPixmap pixmap = picture(QStringLiteral("logo"));
    return pixmap;
}

const QIcon &Artwork::icon()
{
    static const QIcon icon = [] {
        QIcon result;
        for (int size : IconSizes)
            result.addPixmap(picture(iconName(size)));
        return result;
    }();
    return icon;
}

const QPixmap &Artwork::bigLogo()
{
    static const QPixmap pixmap = picture(QStringLiteral("biglogo"));
    return pixmap;
}

const QPixmap &Artwork::aboutLogo()
{
    static const QPixmap pixmap = picture(QStringLiteral("aboutlogo"));
    return pixmap;
}

const QPixmap &Artwork::timeBar()
{
    static const QPixmap pixmap = picture(QStringLiteral("timebar"));
    return pixmap;
}

const QPixmap &Artwork::timeBarFrame()
{
    static const QPixmap pixmap = picture(QStringLiteral("timebarframe"));
    return pixmap;
}

const QPixmap &Artwork::wordsHeading()
{
    static const QPixmap pixmap = picture(QStringLiteral("wordsheading"));
    return pixmap;
}

const QPixmap &Artwork::minLetters()
{
    static const QPixmap pixmap = picture(QStringLiteral("minletters"));
    return pixmap;
}
