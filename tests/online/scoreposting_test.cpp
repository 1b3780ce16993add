#include "httptestserver.h"
#include "scoreposting.h"
#include "wait.h"

#include <gtest/gtest.h>

// The posting's values are percent-encoded: a space cannot break the
// request line and an "&" cannot add a field; the date's "/" stays.
TEST(ScorePosting, queryValuesAreEncoded)
{
    EXPECT_EQ(ScorePosting::postingPath("Ann", "7/4/13", "57"),
              QStringLiteral("/cgi-bin/tarvlesolo.cgi?name=Ann&date=7/4/13&score=57"));
    EXPECT_EQ(ScorePosting::postingPath("Ann Lee", "12/25/13", "0"),
              QStringLiteral("/cgi-bin/tarvlesolo.cgi?name=Ann%20Lee&date=12/25/13&score=0"));
    EXPECT_EQ(ScorePosting::postingPath("x&score=99999", "3/5/14", "1"),
              QStringLiteral("/cgi-bin/tarvlesolo.cgi?name=x%26score%3D99999&date=3/5/14&score=1"));
    EXPECT_EQ(ScorePosting::postingPath("a+b#c", "1.2.14", "5"),
              QStringLiteral("/cgi-bin/tarvlesolo.cgi?name=a%2Bb%23c&date=1.2.14&score=5"));
    EXPECT_EQ(ScorePosting::postingPath(QStringLiteral("Zoë"), "1/1/14", "5"),
              QStringLiteral("/cgi-bin/tarvlesolo.cgi?name=Zo%C3%AB&date=1/1/14&score=5"));
}

// The date reads month/day/two-digit year without leading zeros.
TEST(ScorePosting, dateForm)
{
    EXPECT_EQ(ScorePosting::postingDate(QDate(2013, 12, 25), '/'), QStringLiteral("12/25/13"));
    EXPECT_EQ(ScorePosting::postingDate(QDate(2014, 3, 5), '/'), QStringLiteral("3/5/14"));
    EXPECT_EQ(ScorePosting::postingDate(QDate(2005, 1, 9), '.'), QStringLiteral("1.9.05"));
}

// The wait counts dots 1 to 5 and round again, and fails on its fortieth
// second, not the forty-first.
TEST(ScorePosting, fortySecondWait)
{
    ScorePosting posting;
    int failed = 0;
    QObject::connect(&posting, &ScorePosting::failed, [&] { ++failed; });
    QStringList captions;
    QObject::connect(&posting, &ScorePosting::captionChanged, [&](const QString &c) { captions << c; });
    posting.startWaiting();
    EXPECT_TRUE(posting.waiting());
    for (int second = 1; second <= 39; ++second)
        posting.Timer1Timer();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(captions[4], QStringLiteral("Posting Score, Please Wait....."));
    EXPECT_EQ(captions[5], QStringLiteral("Posting Score, Please Wait."));
    posting.Timer1Timer();
    EXPECT_EQ(failed, 1);
    EXPECT_FALSE(posting.waiting());
}

// SEND SCORE's request goes to the service with the encoded query and starts
// the wait; any answer, an error page included, ends the wait as answered.
TEST(ScorePosting, sendingEndsTheWaitOnAnyAnswer)
{
    HttpTestServer server;
    server.setRoute("/cgi-bin/tarvlesolo.cgi?name=Ann%20Lee&date=7/4/13&score=57", {200, "posted", {}});
    ScorePosting posting;
    posting.setServiceBase(server.base());
    int answered = 0;
    QObject::connect(&posting, &ScorePosting::answered, [&] { ++answered; });

    posting.sendscore("Ann Lee", "7/4/13", "57");
    EXPECT_TRUE(posting.waiting());
    ASSERT_TRUE(waitUntil([&] { return answered == 1; }));
    EXPECT_FALSE(posting.waiting());
    EXPECT_EQ(server.requestCount(), 1);

    posting.sendscore("Bo", "7/4/13", "1"); // no such route: a 404 page
    ASSERT_TRUE(waitUntil([&] { return answered == 2; }));
    EXPECT_FALSE(posting.waiting());
}
