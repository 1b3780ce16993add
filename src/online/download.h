#pragma once

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QtGlobal>

class QIODevice;
class QNetworkAccessManager;

// An HTTP GET whose body goes into a caller's device. It runs on the event
// loop the program already has (no loop of its own, so nothing but the
// transfer can end it) and reports its end through finished().
//
// The transfer is complete only when the reply ended without an error with
// status 200, the body is as long as its Content-Length (when one came), and
// every write into the device took all its bytes. Anything else is a failure
// of its own kind; the device then holds a part the caller must discard.
class Download : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Complete,
        ErrorStatus, // an answer of 400 or more, or another status than 200
        NoAnswer,    // the host could not be reached, or sent nothing for too long
        Cut,         // the body ended early or the connection broke
        WriteFailed, // the device refused bytes (a full disk)
        TooLong,     // more than the size limit
        TimedOut,    // the deadline for the whole transfer passed
        Aborted,     // abort() was called
    };
    Q_ENUM(Outcome)

    // Gives up on a server that sends nothing for this long.
    static constexpr int SilenceTimeoutMs = 60000;
    // Gives up on a transfer that has not ended after this long, however
    // steadily it trickles in.
    static constexpr int DeadlineMs = 10 * 60 * 1000;

    explicit Download(QObject *parent = nullptr);
    ~Download() override;

    void setSilenceTimeout(int ms) { m_silenceMs = ms; }
    void setDeadline(int ms) { m_deadlineMs = ms; }
    // The most bytes the body may have; more ends the transfer as TooLong.
    void setMaxSize(qint64 bytes) { m_maxSize = bytes; }

    // Starts the transfer into target, which must stay open until finished().
    void start(const QString &url, QIODevice *target);
    // Ends a running transfer at once, as Aborted.
    void abort();
    bool isRunning() const { return m_reply != nullptr; }

    qint64 received() const { return m_received; }
    int status() const { return m_status; }

signals:
    // Bytes written so far, and the whole size when the server told it (else -1).
    void progress(qint64 received, qint64 total);
    void finished(Download::Outcome outcome);

private:
    void readBody();
    void replyFinished();
    void end(Outcome outcome);

    QNetworkAccessManager *m_manager;
    QPointer<QNetworkReply> m_reply;
    QIODevice *m_target = nullptr;
    QTimer m_deadline;
    int m_silenceMs = SilenceTimeoutMs;
    int m_deadlineMs = DeadlineMs;
    qint64 m_maxSize = -1;
    qint64 m_received = 0;
    qint64 m_expected = -1;
    int m_status = 0;
};
