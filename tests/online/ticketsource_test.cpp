#include "boardcode.h"
#include "httptestserver.h"
#include "scoreposting.h"
#include "servicepaths.h"
#include "ticketsource.h"
#include "wait.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

const QString Fresh = QString::fromLatin1(rules::servicepaths::Ticket);
const QString Daily = Fresh + QStringLiteral("?daily=1");
constexpr const char *Id = "Zq3_k-9aPx2Lm7Rt8Yb4Wc";

QByteArray ticketLine(const char *id, rules::Seed seed)
{
    return QByteArray(id) + ' ' + QByteArray::fromStdString(rules::boardCode(seed)) + '\n';
}

} // namespace

// A ticket is "ID CODE" and nothing else: an id of 16 to 64 characters of
// A-Z a-z 0-9 - _, and a code that reads as a board code.
TEST(TicketSource, readsOnlyWellFormedTickets)
{
    const std::optional<Ticket> ticket = TicketSource::parse(ticketLine(Id, 0x12345));
    ASSERT_TRUE(ticket);
    EXPECT_EQ(ticket->id, QString::fromLatin1(Id));
    EXPECT_EQ(ticket->seed, rules::Seed(0x12345));
    EXPECT_TRUE(TicketSource::parse(QByteArray(Id) + " TARV1E42\r\n"));
    EXPECT_TRUE(TicketSource::parse(QByteArray(16, 'a') + " TARV1E42"));
    EXPECT_TRUE(TicketSource::parse(QByteArray(64, '-') + " TARV1E42"));

    for (const QByteArray &bad : {QByteArray(15, 'a') + " TARV1E42", QByteArray(65, 'a') + " TARV1E42",
                                  QByteArray("Zq3_k-9aPx2Lm7Rt8Y/4Wc TARV1E42"), QByteArray("Zq3_k-9aPx2Lm7Rt8Y\xC3\xA9Wc TARV1E42"),
                                  QByteArray(Id) + " TARV1E4", QByteArray(Id) + " TARV1E42 extra",
                                  QByteArray(Id) + "  TARV1E42", QByteArray(Id) + " TARU1E42", QByteArray(Id),
                                  QByteArray(), QByteArray("<html>Not Found</html>"),
                                  QByteArray(Id) + " TARV1E42\n\n"})
        EXPECT_FALSE(TicketSource::parse(bad)) << bad.constData();
}

// Nothing is fetched before start; then one fresh and one daily ticket, and
// a taken ticket is fetched anew at once.
TEST(TicketSource, keepsOneOfEachAtHand)
{
    HttpTestServer server;
    server.setRoute(Fresh, {200, ticketLine(Id, 77), {}});
    server.setRoute(Daily, {200, ticketLine("daily-ticket-0000001", 99), {}});
    TicketSource tickets;
    tickets.setServiceBase(server.base());
    EXPECT_FALSE(tickets.takeFresh());
    EXPECT_FALSE(tickets.takeDaily(99));
    QCoreApplication::processEvents();
    EXPECT_EQ(server.requestCount(), 0);

    tickets.start();
    ASSERT_TRUE(waitUntil([&] { return tickets.hasFresh() && tickets.hasDaily(); }));
    EXPECT_EQ(server.requestCount(), 2);

    const std::optional<Ticket> fresh = tickets.takeFresh();
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->seed, rules::Seed(77));
    EXPECT_FALSE(tickets.hasFresh());
    ASSERT_TRUE(waitUntil([&] { return tickets.hasFresh(); }));
    EXPECT_EQ(server.requestCount(), 3);

    // Another day's board is not handed out, and today's is asked for.
    EXPECT_FALSE(tickets.takeDaily(98));
    ASSERT_TRUE(waitUntil([&] { return server.requestCount() == 4 && tickets.hasDaily(); }));
    const std::optional<Ticket> daily = tickets.takeDaily(99);
    ASSERT_TRUE(daily);
    EXPECT_EQ(daily->id, QStringLiteral("daily-ticket-0000001"));
}

// A service that is missing, refuses, answers garbage or too much leaves no
// ticket, and games are dealt locally.
TEST(TicketSource, brokenRepliesGiveNoTicket)
{
    std::vector<HttpTestServer::Route> replies = {
        {404, ticketLine(Id, 1), {}},
        {429, "Too many tickets.\n", {}},
        {200, "<html><body>Welcome</body></html>", {}},
        {200, ticketLine(Id, 1).repeated(20), {}},
        {200, QByteArray(8 << 20, 'A'), {}},
        {200, ticketLine(Id, 1), {}, 10}, // cut off in the middle
    };
    for (const HttpTestServer::Route &reply : replies) {
        HttpTestServer server;
        server.setRoute(Fresh, reply);
        server.setRoute(Daily, reply);
        TicketSource tickets;
        tickets.setServiceBase(server.base());
        int ended = 0;
        QObject::connect(&tickets, &TicketSource::fetched, [&] { ++ended; });
        tickets.start();
        ASSERT_TRUE(waitUntil([&] { return ended == 2; }));
        EXPECT_FALSE(tickets.hasFresh()) << reply.status << ' ' << reply.body.left(40).constData();
        EXPECT_FALSE(tickets.hasDaily());
    }

    TicketSource offline;
    offline.setServiceBase(QStringLiteral("http://127.0.0.1:%1").arg(HttpTestServer::refusedPort()));
    int ended = 0;
    QObject::connect(&offline, &TicketSource::fetched, [&] { ++ended; });
    offline.start();
    ASSERT_TRUE(waitUntil([&] { return ended == 2; }));
    EXPECT_FALSE(offline.takeFresh());
}

// A game on a ticket is posted with its id and its words, upper case, in
// the order found; the commas stay as they are.
TEST(ScorePosting, verifiedPostingCarriesTheGame)
{
    EXPECT_EQ(ScorePosting::postingPath("Ann", "7/4/13", "5", QString::fromLatin1(Id), {"cat", "tea", "Seat"}),
              QStringLiteral("/cgi-bin/tarvlesolo.cgi?name=Ann&date=7/4/13&score=5&game=%1&words=CAT,TEA,SEAT")
                  .arg(QString::fromLatin1(Id)));
    EXPECT_EQ(ScorePosting::postingPath("Ann", "7/4/13", "0", QString::fromLatin1(Id), {}),
              QStringLiteral("/cgi-bin/tarvlesolo.cgi?name=Ann&date=7/4/13&score=0&game=%1&words=")
                  .arg(QString::fromLatin1(Id)));
}

// A refusal ends the wait with the service's first line, made safe to show;
// any other answer is answered as ever.
TEST(ScorePosting, refusalIsNotASuccess)
{
    EXPECT_EQ(ScorePosting::refusalReason("Posted too early.\nmore"), QStringLiteral("Posted too early."));
    EXPECT_EQ(ScorePosting::refusalReason(QStringLiteral("  BAD\u202E is\tnot\u200B a word.\r\n")),
              QStringLiteral("BAD is not a word."));
    EXPECT_EQ(ScorePosting::refusalReason(" \n"), QStringLiteral("The score was not accepted."));
    const QString longReason = ScorePosting::refusalReason(QString(500, QLatin1Char('x')));
    EXPECT_EQ(longReason.size(), ScorePosting::MaxReasonLength);
    EXPECT_TRUE(longReason.endsWith(QStringLiteral("...")));

    HttpTestServer server;
    const QString path = ScorePosting::postingPath("Ann", "7/4/13", "5", QString::fromLatin1(Id), {"cat"});
    server.setRoute(path, {409, "This game was already posted.\n", {}});
    ScorePosting posting;
    posting.setServiceBase(server.base());
    QStringList reasons;
    int answered = 0;
    QObject::connect(&posting, &ScorePosting::refused, [&](const QString &reason) { reasons << reason; });
    QObject::connect(&posting, &ScorePosting::answered, [&] { ++answered; });
    posting.sendscore("Ann", "7/4/13", "5", QString::fromLatin1(Id), {"cat"});
    ASSERT_TRUE(waitUntil([&] { return !reasons.isEmpty(); }));
    EXPECT_EQ(reasons, QStringList{"This game was already posted."});
    EXPECT_FALSE(posting.waiting());
    EXPECT_EQ(answered, 0);

    server.setRoute(path, {500, "Internal error\n", {}});
    posting.sendscore("Ann", "7/4/13", "5", QString::fromLatin1(Id), {"cat"});
    ASSERT_TRUE(waitUntil([&] { return answered == 1; }));
    EXPECT_EQ(reasons.size(), 1);
}
