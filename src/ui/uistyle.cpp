#include "uistyle.h"

#include <QLabel>
#include <QPalette>

namespace UiStyle {

namespace {

QFont font(const QString &family, QFont::StyleHint hint, int pixelSize, bool bold)
{
    QFont f(family);
    f.setStyleHint(hint);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

} // namespace

QFont arial(int pixelSize, bool bold)
{
    return font(QStringLiteral("Arial"), QFont::SansSerif, pixelSize, bold);
}

QFont timesNewRoman(int pixelSize, bool bold)
{
    return font(QStringLiteral("Times New Roman"), QFont::Serif, pixelSize, bold);
}

QFont sans(int pixelSize, bool bold)
{
    // The layout was measured in the narrow dialog face; Arial's metric twin
    // comes closest, so fixed-width labels keep their texts whole.
    QFont f = font(QStringLiteral("Liberation Sans"), QFont::SansSerif, pixelSize, bold);
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Sans Serif")});
    return f;
}

QLabel *makeLabel(QWidget *parent, const QString &objectName, const QString &text,
                  const QFont &font, const QRect &geometry, Qt::Alignment alignment)
{
    auto *label = new QLabel(parent);
    // Names and other texts from files are shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setObjectName(objectName);
    label->setFont(font);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    label->setAttribute(Qt::WA_TranslucentBackground);
    setTextColor(label, Cream);
    return label;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

} // namespace UiStyle
