#include "pages.h"

#include <gtest/gtest.h>

TEST(Pages, escapeCoversEveryHtmlSpecialCharacter)
{
    // The five characters that can break out of text or attributes are replaced.
    EXPECT_EQ(pages::htmlEscape("<b>&\"'"), "&lt;b&gt;&amp;&quot;&#39;");
    EXPECT_EQ(pages::htmlEscape("plain \xC3\xA9"), "plain \xC3\xA9");
}

TEST(Pages, scoresPageListsRowsInGivenOrderAndLinksHome)
{
    // One row per posting, ranked from 1, values escaped, with an absolute home link and the viewer's colours.
    const std::string html = pages::scoresPage("http://h:1", {{2, "<i>Zed</i>", "1/2/3", 900}, {1, "Amy", "4/5/6", 100}});
    EXPECT_NE(html.find("&lt;i&gt;Zed&lt;/i&gt;"), std::string::npos);
    EXPECT_EQ(html.find("<i>Zed"), std::string::npos);
    EXPECT_LT(html.find("Zed"), html.find("Amy"));
    EXPECT_NE(html.find(">1</td>"), std::string::npos);
    EXPECT_NE(html.find(">2</td>"), std::string::npos);
    EXPECT_NE(html.find("href=\"http://h:1/\""), std::string::npos);
    EXPECT_NE(html.find("#FFFFE6"), std::string::npos);
    EXPECT_NE(html.find("#800000"), std::string::npos);
    EXPECT_NE(html.find("Times New Roman"), std::string::npos);

    EXPECT_NE(pages::scoresPage("http://h:1", {}).find("No scores"), std::string::npos);
}
