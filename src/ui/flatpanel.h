#pragma once

#include <QColor>
#include <QWidget>

// A panel with a one-pixel frame: top and left edges in one colour, bottom
// and right in another. Either filled or transparent, with an optional
// caption centred on one line.
class FlatPanel : public QWidget
{
    Q_OBJECT

public:
    explicit FlatPanel(QWidget *parent = nullptr);

    void setFrameColors(const QColor &topLeft, const QColor &bottomRight);
    void setFrameColor(const QColor &color) { setFrameColors(color, color); }
    void setFill(const QColor &color);
    void setTransparent(bool transparent);
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }
    void setCaptionFont(const QFont &font, const QColor &color);
    // A long caption, such as a reason from the service, wraps onto more lines.
    void setCaptionWrapped(bool wrapped);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_topLeft;
    QColor m_bottomRight;
    QColor m_fill;
    bool m_transparent = false;
    QString m_caption;
    QFont m_captionFont;
    QColor m_captionColor;
    bool m_captionWrapped = false;
};
