#include "signalcloser.h"

#include "errorbox.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int wakeUp[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    // Nothing else is safe in a signal handler; a full socket drops the byte,
    // which is fine: one is enough to close the window.
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[0], &byte, 1);
}

} // namespace

SignalCloser::SignalCloser(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, wakeUp) != 0)
        return;
    m_notifier = new QSocketNotifier(wakeUp[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalCloser::arrived);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

SignalCloser::~SignalCloser()
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, SIG_DFL);
    for (int &fd : wakeUp) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalCloser::setWindow(QWidget *window)
{
    m_window = window;
    // Once the event loop runs, so the window is shown and closes as usual.
    if (m_pending)
        QTimer::singleShot(0, m_window, &QWidget::close);
}

void SignalCloser::arrived()
{
    char byte;
    [[maybe_unused]] const ssize_t read = ::read(wakeUp[1], &byte, 1);
    ErrorBox::setUnattended();
    if (QWidget *box = QApplication::activeModalWidget())
        box->close();
    if (m_window)
        m_window->close();
    else
        m_pending = true;
}
