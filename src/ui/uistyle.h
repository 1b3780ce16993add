#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

// The colours and fonts every window of the game shares.
namespace UiStyle {

inline const QColor Green{0x4C, 0x6A, 0x4C};
inline const QColor DarkGreen{0x31, 0x44, 0x31};
inline const QColor Cream{0xFF, 0xFF, 0xC6};
inline const QColor PaleCream{0xFF, 0xFF, 0xE6};
inline const QColor Maroon{0x80, 0x00, 0x00};
inline const QColor ButtonBorder{0xA4, 0x00, 0x00};
inline const QColor ButtonText{0x4A, 0x4A, 0x4A};
inline const QColor PanelButtonText{0x80, 0x80, 0x80};
inline const QColor Orange{0xFF, 0x80, 0x00};

// "Arial" resolves to its metric twin where the original is not installed.
QFont arial(int pixelSize, bool bold = false);
QFont timesNewRoman(int pixelSize, bool bold = false);
// The default dialog face, or the sans family closest to it in width.
QFont sans(int pixelSize, bool bold = false);

// A transparent label of plain text in the game's cream colour.
QLabel *makeLabel(QWidget *parent, const QString &objectName, const QString &text,
                  const QFont &font, const QRect &geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
void setTextColor(QWidget *widget, const QColor &color);

} // namespace UiStyle
