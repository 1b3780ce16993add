#pragma once

#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

// A non-blocking text fetch. One fetch at a time per object; a start while
// one is under way is ignored. The done signal carries the whole body of any
// reply that has one, whatever its HTTP status.
class StringFetch : public QObject
{
    Q_OBJECT

public:
    // Long enough for a slow service, short enough that a dead one frees us.
    static constexpr int TransferTimeoutMs = 60000;

    explicit StringFetch(QObject *parent = nullptr);

    void start(const QString &url);
    bool busy() const { return m_reply != nullptr; }

signals:
    void doneString(const QString &body);
    // The same reply with its HTTP status, just before doneString.
    void replied(int status, const QString &body);

private:
    void finished();

    QNetworkAccessManager *m_manager;
    QNetworkReply *m_reply = nullptr;
};
