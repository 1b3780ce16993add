#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class QWidget;

// Tells when the frame of a window is known, so that its outer size can be
// set exactly. Under X11 a window manager frames a window only after it is
// mapped and then sets _NET_FRAME_EXTENTS on it; until then
// QWindow::frameMargins() is zero or a guess from the window tree, so the
// watch waits for that property. Without a window manager it never comes,
// and the frame stays zero. Elsewhere the frame is known once the window is
// shown. The window owns the watch.
class FrameWatch : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit FrameWatch(QWidget *window);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    // QWindow::frameMargins() now tells the real frame.
    void frameKnown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    quint32 m_extentsAtom = 0; // 0 when not under X11
};
