#include "ticketsource.h"

#include "servicehost.h"
#include "servicepaths.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

bool isIdChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

} // namespace

TicketSource::TicketSource(QObject *parent)
    : QObject(parent)
    , m_base(ServiceHost::url(QString()))
    , m_manager(new QNetworkAccessManager(this))
{
}

TicketSource::~TicketSource()
{
    for (Slot *s : {&m_freshSlot, &m_dailySlot}) {
        if (s->reply) {
            s->reply->disconnect(this);
            s->reply->abort();
        }
    }
}

void TicketSource::start()
{
    m_started = true;
    refill();
}

std::optional<Ticket> TicketSource::takeFresh()
{
    std::optional<Ticket> ticket = std::exchange(m_freshSlot.ticket, std::nullopt);
    refill();
    if (ticket && ticket->fetched.secsTo(QDateTime::currentDateTimeUtc()) > KeepSeconds)
        return std::nullopt;
    return ticket;
}

std::optional<Ticket> TicketSource::takeDaily(rules::Seed todaysSeed)
{
    // Taken or not, the kept one goes: yesterday's board is of no use, and
    // today's is asked for the next time.
    std::optional<Ticket> ticket = std::exchange(m_dailySlot.ticket, std::nullopt);
    refill();
    if (ticket && (ticket->seed != todaysSeed || ticket->fetched.secsTo(QDateTime::currentDateTimeUtc()) > KeepSeconds))
        return std::nullopt;
    return ticket;
}

void TicketSource::refill()
{
    if (!m_started)
        return;
    for (Kind kind : {Kind::Fresh, Kind::Daily}) {
        if (!slot(kind).ticket && !slot(kind).reply)
            fetch(kind);
    }
}

void TicketSource::fetch(Kind kind)
{
    QString url = m_base + QLatin1String(rules::servicepaths::Ticket);
    if (kind == Kind::Daily)
        url += QLatin1Char('?') + QLatin1String(rules::servicepaths::DailyKey) + QStringLiteral("=1");
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(TransferTimeoutMs);
    QNetworkReply *reply = m_manager->get(request);
    slot(kind).reply = reply;
    // A reply too long to be a ticket is cut off rather than kept.
    connect(reply, &QNetworkReply::readyRead, this, [reply] {
        if (reply->bytesAvailable() > MaxReply)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, kind] { finished(kind); });
}

void TicketSource::finished(Kind kind)
{
    Slot &s = slot(kind);
    QNetworkReply *reply = std::exchange(s.reply, nullptr);
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status == 200 && reply->bytesAvailable() <= MaxReply) {
        s.ticket = parse(reply->readAll());
        if (s.ticket)
            s.ticket->fetched = QDateTime::currentDateTimeUtc();
    }
    // No ticket is not retried here: the next game that wants one asks again.
    emit fetched();
}

std::optional<Ticket> TicketSource::parse(const QByteArray &reply)
{
    QByteArray line = reply;
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    const qsizetype space = line.indexOf(' ');
    if (space < 16 || space > 64)
        return std::nullopt;
    for (qsizetype i = 0; i < space; ++i) {
        if (!isIdChar(line[i]))
            return std::nullopt;
    }
    const QByteArray code = line.mid(space + 1);
    const rules::CodeReading parsed = rules::readBoardCode(std::string_view(code.constData(), std::size_t(code.size())));
    if (!parsed.seed)
        return std::nullopt;
    return Ticket{QString::fromLatin1(line.left(space)), *parsed.seed, {}};
}
