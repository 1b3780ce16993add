#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

ToolRun tool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(TARVLE_TOOL), args);
    process.waitForFinished(30000);
    return ToolRun{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

// lookup answers each word from the built-in list, one line per word, in
// the order given and as the word was written.
TEST(ToolLookup, AnswersFromTheBuiltInList)
{
    const ToolRun run = tool({"lookup", "cat", "ZYMURGY", "xqzt", "  stone ", "aa"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("cat yes\nZYMURGY yes\nxqzt no\n  stone  yes\naa yes\n"));
}

// Bad arguments exit with status 2 and a usage line on stderr.
TEST(ToolLookup, BadArguments)
{
    for (const QStringList &args : {QStringList{}, QStringList{"lookup"}, QStringList{"frobnicate", "x"}}) {
        const ToolRun run = tool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage: tarvle-tool"))) << run.err.toStdString();
    }
}
