#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// Turns SIGTERM, SIGINT and SIGHUP into closing a window, exactly as its
// close box does, so that what the program saves at close is saved, without
// waiting for a person: a box already open is closed and later messages go
// to standard error. A signal that comes before the window is set (during
// the start-up boxes) closes it as soon as it is. The signal handler only
// writes a byte to a socket; the rest happens on the interface thread.
class SignalCloser : public QObject
{
    Q_OBJECT

public:
    // Installs the handlers; call once, before anything is worth saving.
    explicit SignalCloser(QObject *parent = nullptr);
    ~SignalCloser() override;

    void setWindow(QWidget *window);

private:
    void arrived();

    QSocketNotifier *m_notifier = nullptr;
    QWidget *m_window = nullptr;
    bool m_pending = false;
};
