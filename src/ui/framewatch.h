#pragma once

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <QObject>

#include <optional>

class QWidget;
struct xcb_connection_t;

// Tells the frame of a window once it is known, so that its outer size can be
// set exactly. Under X11 a window manager frames a window only after it is
// mapped and then sets _NET_FRAME_EXTENTS on it. Until then
// QWindow::frameMargins() is zero or a guess from the window tree, and Qt
// keeps that guess until the window is next configured: measured from a
// frame still 1 by 1 pixels, it makes the outer size 1 by 1. So the watch
// reads the property itself. Without a window manager it never comes, and
// the frame stays unknown. Elsewhere the frame is Qt's once the window is
// shown. The window owns the watch.
class FrameWatch : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit FrameWatch(QWidget *window);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // The frame as last told; none before that.
    std::optional<QMargins> margins() const { return m_margins; }

signals:
    // margins() has a value, or a new one.
    void frameKnown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void readExtents();

    QWidget *m_window;
    xcb_connection_t *m_connection = nullptr; // under X11
    quint32 m_extentsAtom = 0;    // 0 when not under X11
    std::optional<QMargins> m_margins;
};
