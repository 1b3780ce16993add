#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// Turns SIGTERM, SIGINT and SIGHUP into closing a window, exactly as its
// close box does, so that what the program saves at close is saved. The
// signal handler only writes a byte to a socket; the window is closed on
// the interface thread when that byte arrives.
class SignalCloser : public QObject
{
    Q_OBJECT

public:
    // Installs the handlers; call once, before anything is worth saving.
    explicit SignalCloser(QObject *parent = nullptr);
    ~SignalCloser() override;

    void setWindow(QWidget *window) { m_window = window; }

private:
    void arrived();

    QSocketNotifier *m_notifier = nullptr;
    QWidget *m_window = nullptr;
};
