#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class StringFetch;

// Posting a score: the request to the service and the 40-second wait for
// its answer, shown as a caption with one to five dots.
class ScorePosting : public QObject
{
    Q_OBJECT

public:
    static constexpr int WaitSeconds = 40;

    explicit ScorePosting(QObject *parent = nullptr);

    // The path and query of a posting. The values are percent-encoded so
    // that a space or an "&" in a name cannot break or extend the query; the
    // date's "/" stays as it is.
    static QString postingPath(const QString &name, const QString &date, const QString &score);
    // The same for a game played on a ticket: its id and its accepted words.
    static QString postingPath(const QString &name, const QString &date, const QString &score,
                               const QString &game, const QStringList &words);
    // The date as month/day/two-digit year, without leading zeros, joined by
    // the separator (the system's date separator).
    static QString postingDate(const QDate &date, QChar separator);
    static QChar systemDateSeparator();

    // Where postings go: "http://host:port"; the build's service host unless
    // set otherwise.
    void setServiceBase(const QString &base) { m_base = base; }

    // Sends the posting and starts the wait. Any answer counts, except that
    // a game's posting may be refused (a 4xx status), whose first line is
    // handed on as the reason.
    void sendscore(const QString &name, const QString &date, const QString &score);
    void sendscore(const QString &name, const QString &date, const QString &score, const QString &game,
                   const QStringList &words);

    // What a refusal says, made fit for one line of the panel.
    static QString refusalReason(const QString &body);
    static constexpr int MaxReasonLength = 120;

    int postwait() const { return m_postwait; }
    int postdots() const { return m_postdots; }
    bool waiting() const { return m_timer.isActive(); }

    // Starts the wait (Timer1).
    void startWaiting();
    // The answer came: the wait is over.
    void stopWaiting();
    // One second of the wait.
    void Timer1Timer();

signals:
    // The service answered: the wait is over.
    void answered();
    void captionChanged(const QString &caption);
    // No answer within the wait.
    void failed();
    // The service answered that it would not keep the score, and why.
    void refused(const QString &reason);

private:
    void senditReplied(int status, const QString &body);

    QString m_base;
    StringFetch *m_sendit;
    QTimer m_timer;
    int m_postwait = 0;
    int m_postdots = 0;
    bool m_verified = false; // the posting in flight carries a game
};
