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
