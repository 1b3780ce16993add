#include "framewatch.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

FrameWatch::FrameWatch(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    // The offscreen platform answers as an X11 one too, without a connection.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && connection) {
        constexpr const char *name = "_NET_FRAME_EXTENTS";
        const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
        if (xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr)) {
            m_extentsAtom = reply->atom;
            m_connection = connection;
            std::free(reply);
        }
    }
    if (m_extentsAtom)
        qGuiApp->installNativeEventFilter(this);
    else
        window->installEventFilter(this);
}

bool FrameWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *change = static_cast<const xcb_property_notify_event_t *>(message);
    // internalWinId() is 0 until the window exists; winId() would create it.
    if (change->atom == m_extentsAtom && change->window == m_window->internalWinId())
        readExtents();
    return false;
}

void FrameWatch::readExtents()
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(m_connection, 0, xcb_window_t(m_window->internalWinId()), m_extentsAtom, XCB_ATOM_CARDINAL, 0, 4);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(m_connection, cookie, nullptr);
    if (!reply)
        return;
    // Left, right, top, bottom; a deleted or malformed property tells nothing.
    if (reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        const auto *extents = static_cast<const quint32 *>(xcb_get_property_value(reply));
        constexpr quint32 Widest = 4096;
        if (std::all_of(extents, extents + 4, [](quint32 e) { return e < Widest; })) {
            m_margins = QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3]));
            // Told after the event, once Qt has seen it too.
            QMetaObject::invokeMethod(this, &FrameWatch::frameKnown, Qt::QueuedConnection);
        }
    }
    std::free(reply);
}

bool FrameWatch::eventFilter(QObject *watched, QEvent *event)
{
    // The platform sets the frame while it shows the window, after this event.
    if (watched == m_window && event->type() == QEvent::Show) {
        QMetaObject::invokeMethod(this, [this] {
            m_margins = m_window->windowHandle() ? m_window->windowHandle()->frameMargins() : QMargins();
            emit frameKnown();
        }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
