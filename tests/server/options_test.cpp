#include "options.h"

#include <gtest/gtest.h>

TEST(Options, defaultsAndEveryFlag)
{
    // No arguments gives the defaults; each flag sets its own field.
    const OptionsCheck defaults = options::parse({});
    ASSERT_TRUE(defaults.error.empty());
    EXPECT_EQ(defaults.options.bindAddress, "127.0.0.1");
    EXPECT_EQ(defaults.options.port, 8080);
    EXPECT_EQ(defaults.options.versionText, "1.0.0");
    EXPECT_TRUE(defaults.options.installerPath.empty());
    EXPECT_FALSE(defaults.options.help);

    const OptionsCheck all = options::parse({"--bind", "0.0.0.0", "--port", "9000", "--db", "s.db",
                                             "--version-text", "2.0 beta", "--installer", "setup.exe"});
    ASSERT_TRUE(all.error.empty()) << all.error;
    EXPECT_EQ(all.options.bindAddress, "0.0.0.0");
    EXPECT_EQ(all.options.port, 9000);
    EXPECT_EQ(all.options.databasePath, "s.db");
    EXPECT_EQ(all.options.versionText, "2.0 beta");
    EXPECT_EQ(all.options.installerPath, "setup.exe");

    EXPECT_TRUE(options::parse({"--help"}).options.help);
}

TEST(Options, refusesBadArguments)
{
    // Unknown flags, missing values and bad ports are errors (main answers them with exit 2).
    EXPECT_FALSE(options::parse({"--frobnicate"}).error.empty());
    EXPECT_FALSE(options::parse({"--port"}).error.empty());
    EXPECT_FALSE(options::parse({"--port", "0"}).error.empty());
    EXPECT_FALSE(options::parse({"--port", "65536"}).error.empty());
    EXPECT_FALSE(options::parse({"--port", "80x"}).error.empty());
    EXPECT_FALSE(options::parse({"--port", "-1"}).error.empty());
    EXPECT_FALSE(options::parse({"--db", ""}).error.empty());
    EXPECT_FALSE(options::parse({"extra"}).error.empty());
}

TEST(Options, limitsAndDeadline)
{
    // The posting and ticket limits default to sound values and take 0 for off; the request
    // deadline is 1 to 3600 seconds, a game's least length 0 to a day; --help names every option.
    const Options defaults = options::parse({}).options;
    EXPECT_EQ(defaults.postingLimit, ServiceConfig::defaultPostingLimit);
    EXPECT_GT(defaults.postingLimit, 0);
    EXPECT_EQ(defaults.ticketLimit, ServiceConfig::defaultTicketLimit);
    EXPECT_EQ(defaults.requestDeadline, 10);
    EXPECT_EQ(defaults.minGameSeconds, 180);

    const OptionsCheck set = options::parse(
        {"--posting-limit", "0", "--ticket-limit", "7", "--request-deadline", "3", "--min-game-seconds", "0"});
    ASSERT_TRUE(set.error.empty()) << set.error;
    EXPECT_EQ(set.options.postingLimit, 0);
    EXPECT_EQ(set.options.ticketLimit, 7);
    EXPECT_EQ(set.options.requestDeadline, 3);
    EXPECT_EQ(set.options.minGameSeconds, 0);

    for (const auto &bad : std::vector<std::vector<std::string>>{{"--posting-limit", "-1"},
                                                                 {"--posting-limit", "ten"},
                                                                 {"--posting-limit"},
                                                                 {"--ticket-limit", "1000001"},
                                                                 {"--request-deadline", "0"},
                                                                 {"--request-deadline", "3601"},
                                                                 {"--request-deadline", "1.5"},
                                                                 {"--min-game-seconds", "-1"},
                                                                 {"--min-game-seconds", "86401"}})
        EXPECT_FALSE(options::parse(bad).error.empty()) << bad[0];

    const std::string usage = options::usage("tarvlesolo-service");
    for (const char *option : {"--bind", "--port", "--db", "--version-text", "--installer", "--posting-limit",
                               "--ticket-limit", "--min-game-seconds", "--request-deadline", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}
