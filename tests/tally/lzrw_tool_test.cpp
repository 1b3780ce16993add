// tarvle-tool lzrw: packs any file into a container and unpacks it; a failure
// prints the compressor's message and exits 1, bad arguments exit 2.

#include "toolrun.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "testfiles.h"

#include <gtest/gtest.h>

// pack writes the container and unpack gives the file back, each telling
// the count written.
TEST(ToolLzrw, packsAndUnpacks)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString text = folder.filePath("abc.txt");
    const QString packed = folder.filePath("abc.tld");
    const QString back = folder.filePath("back.txt");
    ASSERT_TRUE(writeFile(text, "abc"));

    ToolRun run = tool({"lzrw", "pack", text, packed});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, packed + ": 14 bytes\n");
    EXPECT_EQ(readFile(packed), QByteArray::fromHex("57525a4c 03000000 0400 80616263"));

    run = tool({"lzrw", "unpack", packed, back});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, back + ": 3 bytes\n");
    EXPECT_EQ(readFile(back), "abc");
}

// A failed operation prints the compressor's message on stderr, exits 1 and
// writes no output.
TEST(ToolLzrw, reportsTheCompressorsMessage)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString text = folder.filePath("abc.txt");
    const QString out = folder.filePath("out");
    ASSERT_TRUE(writeFile(text, "abc"));

    ToolRun run = tool({"lzrw", "unpack", text, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err, "tarvle-tool: Lzrw1 : Error reading from input file : " + text + "\n");

    ASSERT_TRUE(writeFile(text, "not a container"));
    run = tool({"lzrw", "unpack", text, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarvle-tool: " + text + " : Lzrw1 decompression : this file has no valid header !\n");

    const QString missing = folder.filePath("missing");
    run = tool({"lzrw", "pack", missing, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarvle-tool: Lzrw1 compression : Failed to obtain the size of : " + missing + "\n");
    EXPECT_FALSE(QFile::exists(out));
}

// Anything but "pack" or "unpack" with two files is a usage error.
TEST(ToolLzrw, badArguments)
{
    const QStringList cases[] = {{"lzrw"}, {"lzrw", "pack", "a"}, {"lzrw", "unpack", "a", "b", "c"},
                                 {"lzrw", "squash", "a", "b"}};
    for (const QStringList &args : cases) {
        const ToolRun run = tool(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains("tarvle-tool lzrw pack IN OUT")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("tarvle-tool lzrw unpack IN OUT"));
    }
}
