#include "pages.h"

#include <gtest/gtest.h>

#include <string>

TEST(Pages, escapeCoversEveryHtmlSpecialCharacter)
{
    // The five characters that can break out of text or attributes are replaced.
    EXPECT_EQ(pages::htmlEscape("<b>&\"'"), "&lt;b&gt;&amp;&quot;&#39;");
    EXPECT_EQ(pages::htmlEscape("plain \xC3\xA9"), "plain \xC3\xA9");
}

TEST(Pages, scoresPageRanksVerifiedScoresAndSetsTheOthersApart)
{
    // The verified rows are ranked from 1 in the given order, today's board has a ranked section
    // of its own under its code, and unverified rows sit under their own heading without ranks;
    // every value escaped, an absolute home link, the viewer's colours.
    pages::ScoreLists lists;
    lists.verified = {{2, "<i>Zed</i>", "1/2/3", 900, true}, {1, "Amy", "4/5/6", 100, true}};
    lists.todayCode = "AB<12>CD";
    lists.today = {{3, "Daily&Co", "7/8/9", 50, true}};
    lists.unverified = {{4, "Old", "1/1/1", 99999, false}};
    const std::string html = pages::scoresPage("http://h:1", lists);
    EXPECT_NE(html.find("&lt;i&gt;Zed&lt;/i&gt;"), std::string::npos);
    EXPECT_EQ(html.find("<i>Zed"), std::string::npos);
    EXPECT_LT(html.find("Zed"), html.find("Amy"));
    EXPECT_NE(html.find(">1</td><td>&lt;i&gt;Zed"), std::string::npos);
    EXPECT_NE(html.find(">2</td><td>Amy"), std::string::npos);
    const std::size_t today = html.find("Today&#39;s board, AB&lt;12&gt;CD");
    const std::size_t unverified = html.find("<h2>Unverified scores</h2>");
    ASSERT_NE(today, std::string::npos);
    ASSERT_NE(unverified, std::string::npos);
    EXPECT_LT(html.find("Amy"), today);
    EXPECT_LT(today, html.find(">1</td><td>Daily&amp;Co"));
    EXPECT_LT(html.find("Daily&amp;Co"), unverified);
    EXPECT_NE(html.find("<tr><td>Old</td>", unverified), std::string::npos);
    EXPECT_NE(html.find("href=\"http://h:1/\""), std::string::npos);
    EXPECT_NE(html.find("#FFFFE6"), std::string::npos);
    EXPECT_NE(html.find("#800000"), std::string::npos);
    EXPECT_NE(html.find("Times New Roman"), std::string::npos);

    const std::string empty = pages::scoresPage("http://h:1", {});
    EXPECT_NE(empty.find("No scores"), std::string::npos);
    EXPECT_EQ(empty.find("Unverified"), std::string::npos);
}

TEST(Pages, siteBaseTakesAPlainHostHeaderAndFallsBackOtherwise)
{
    // A host name or address with an optional port is used as it is; anything else, or nothing,
    // gives the address the client reached.
    EXPECT_EQ(pages::siteBase("scores.example.org", "127.0.0.1:8080"), "http://scores.example.org");
    EXPECT_EQ(pages::siteBase("scores.example.org:8080", "127.0.0.1:8080"), "http://scores.example.org:8080");
    EXPECT_EQ(pages::siteBase("127.0.0.1:9000", "127.0.0.1:8080"), "http://127.0.0.1:9000");
    EXPECT_EQ(pages::siteBase("[::1]:9000", "127.0.0.1:8080"), "http://[::1]:9000");
    EXPECT_EQ(pages::siteBase("[2001:db8::1]", "127.0.0.1:8080"), "http://[2001:db8::1]");

    for (const char *hostile : {"", "a b", "evil.example/path", "user@evil.example", "\"><script>", "a:", "a:port",
                                "a:123456", "[::1", "[::1]x", "[<x>]", "a\r\nSet-Cookie: x", "a:80:80", "host?x", "#"}) {
        EXPECT_EQ(pages::siteBase(hostile, "127.0.0.1:8080"), "http://127.0.0.1:8080") << hostile;
    }
    EXPECT_EQ(pages::siteBase(std::string(300, 'a'), "[::1]:8080"), "http://[::1]:8080");
}
