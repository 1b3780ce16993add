#include "scoreposting.h"

#include "servicehost.h"
#include "servicepaths.h"
#include "stringfetch.h"

#include <QLocale>
#include <QUrl>

ScorePosting::ScorePosting(QObject *parent)
    : QObject(parent)
    , m_base(ServiceHost::url(QString()))
    , m_sendit(new StringFetch(this))
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ScorePosting::Timer1Timer);
    connect(m_sendit, &StringFetch::replied, this, &ScorePosting::senditReplied);
}

void ScorePosting::sendscore(const QString &name, const QString &date, const QString &score)
{
    m_verified = false;
    m_sendit->start(m_base + postingPath(name, date, score));
    startWaiting();
}

void ScorePosting::sendscore(const QString &name, const QString &date, const QString &score, const QString &game,
                             const QStringList &words)
{
    m_verified = true;
    m_sendit->start(m_base + postingPath(name, date, score, game, words));
    startWaiting();
}

void ScorePosting::senditReplied(int status, const QString &body)
{
    stopWaiting();
    // A plain posting keeps its old rule, any answer counts; a game the
    // service checks may be refused.
    if (m_verified && status >= 400 && status < 500)
        emit refused(refusalReason(body));
    else
        emit answered();
}

QString ScorePosting::refusalReason(const QString &body)
{
    QString line = body.section(QLatin1Char('\n'), 0, 0);
    // Only what shows as it reads: no control or format characters.
    line.removeIf([](QChar c) { return c.category() == QChar::Other_Format; });
    for (QChar &c : line) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    line = line.simplified();
    if (line.size() > MaxReasonLength)
        line = line.left(MaxReasonLength - 3).trimmed() + QStringLiteral("...");
    return line.isEmpty() ? tr("The score was not accepted.") : line;
}

QString ScorePosting::postingPath(const QString &name, const QString &date, const QString &score,
                                  const QString &game, const QStringList &words)
{
    namespace paths = rules::servicepaths;
    QStringList upper;
    for (const QString &word : words)
        upper << word.toUpper();
    return postingPath(name, date, score) + QLatin1Char('&') + QLatin1String(paths::GameKey) + QLatin1Char('=')
        + QString::fromLatin1(QUrl::toPercentEncoding(game)) + QLatin1Char('&') + QLatin1String(paths::WordsKey)
        + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(upper.join(QLatin1Char(',')), ","));
}

QString ScorePosting::postingPath(const QString &name, const QString &date, const QString &score)
{
    auto encode = [](const QString &value, const QByteArray &keep = {}) {
        return QString::fromLatin1(QUrl::toPercentEncoding(value, keep));
    };
    namespace paths = rules::servicepaths;
    return QLatin1String(paths::Posting) + QLatin1Char('?') + QLatin1String(paths::NameKey) + QLatin1Char('=')
        + encode(name) + QLatin1Char('&') + QLatin1String(paths::DateKey) + QLatin1Char('=') + encode(date, "/")
        + QLatin1Char('&') + QLatin1String(paths::ScoreKey) + QLatin1Char('=') + encode(score);
}

QString ScorePosting::postingDate(const QDate &date, QChar separator)
{
    return QString::number(date.month()) + separator + QString::number(date.day()) + separator
        + QStringLiteral("%1").arg(date.year() % 100, 2, 10, QLatin1Char('0'));
}

QChar ScorePosting::systemDateSeparator()
{
    for (QChar c : QLocale::system().dateFormat(QLocale::ShortFormat)) {
        if (!c.isLetter() && !c.isSpace())
            return c;
    }
    return QLatin1Char('/');
}

void ScorePosting::startWaiting()
{
    m_postwait = WaitSeconds;
    m_postdots = 0;
    m_timer.start();
}

void ScorePosting::stopWaiting()
{
    m_timer.stop();
}

void ScorePosting::Timer1Timer()
{
    --m_postwait;
    if (++m_postdots > 5)
        m_postdots = 1;
    emit captionChanged(tr("Posting Score, Please Wait") + QString(m_postdots, QLatin1Char('.')));
    if (m_postwait == 0) {
        m_timer.stop();
        emit failed();
    }
}
