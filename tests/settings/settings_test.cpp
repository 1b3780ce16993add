#include "inifile.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

class SettingsFileTest : public ::testing::Test
{
protected:
    QString path() const { return QDir(m_dir.path()).filePath("tarvlesolo.ini"); }
    SettingsFile file() const { return SettingsFile(path(), "tarvlesolo"); }

    void write(const QByteArray &text)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QByteArray read() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    MainSettings loadWith(const QByteArray &lines)
    {
        write("[tarvlesolo]\n" + lines);
        return file().loadinifile();
    }

    QTemporaryDir m_dir;
};

} // namespace

// Without a file every key takes its default, and a save creates the file
// with the eight keys in their order.
TEST_F(SettingsFileTest, firstStartUsesDefaultsAndSavesAllKeys)
{
    const MainSettings s = file().loadinifile();
    EXPECT_EQ(s.left, 3);
    EXPECT_EQ(s.top, 3);
    EXPECT_EQ(s.width, 568);
    EXPECT_EQ(s.height, 580);
    EXPECT_EQ(s.clickletters, 0);
    EXPECT_EQ(s.name, QStringLiteral("Guest"));
    EXPECT_TRUE(s.sounds);
    EXPECT_TRUE(s.update);

    file().saveinifile(s);
    EXPECT_EQ(read(), QByteArray("[tarvlesolo]\nTop=3\nLeft=3\nWidth=568\nHeight=580\nClickletters=0\n"
                                 "Name=Guest\nSounds=yes\nUpdate=true\n"));
    MainSettings other;
    other.top = -20;
    other.left = 4000;
    other.width = 700;
    other.height = 650;
    other.clickletters = 1;
    other.name = QStringLiteral("Ann Lee the Great");
    other.sounds = false;
    other.update = false;
    file().saveinifile(other);
    const MainSettings back = file().loadinifile();
    EXPECT_EQ(back.top, -20);
    EXPECT_EQ(back.left, 4000);
    EXPECT_EQ(back.width, 700);
    EXPECT_EQ(back.height, 650);
    EXPECT_EQ(back.clickletters, 1);
    EXPECT_EQ(back.name, QStringLiteral("Ann Lee the Great"));
    EXPECT_FALSE(back.sounds);
    EXPECT_FALSE(back.update);
}

// The switches turn only on the exact words: "No" and "FALSE" leave them on.
TEST_F(SettingsFileTest, switchesCompareExactly)
{
    EXPECT_TRUE(loadWith("Sounds=No\n").sounds);
    EXPECT_FALSE(loadWith("Sounds=no\n").sounds);
    EXPECT_TRUE(loadWith("Sounds=\n").sounds);
    EXPECT_TRUE(loadWith("Update=FALSE\n").update);
    EXPECT_FALSE(loadWith("Update=false\n").update);
    EXPECT_EQ(loadWith("Clickletters=1\n").clickletters, 1);
    EXPECT_EQ(loadWith("Clickletters=2\n").clickletters, 0);
    EXPECT_EQ(loadWith("Clickletters=01\n").clickletters, 0);
    // Spaces around a value are not part of it.
    EXPECT_FALSE(loadWith("Sounds = no \n").sounds);
    EXPECT_EQ(loadWith("Name=\n").name, QString());
}

// Integers are decimal with an optional minus, or hexadecimal after 0x, 0X
// or $; anything else gives that key's default and leaves the others alone.
TEST_F(SettingsFileTest, integersAndTheirDefaults)
{
    EXPECT_EQ(loadWith("Width=abc\n").width, 568);
    EXPECT_EQ(loadWith("Width=0x200\n").width, 512);
    EXPECT_EQ(loadWith("Width=0X1f\n").width, 31);
    EXPECT_EQ(loadWith("Width=$1F4\n").width, 500);
    const MainSettings mixed = loadWith("Top=-40\nLeft=12x\nWidth=900\nHeight=\n");
    EXPECT_EQ(mixed.top, -40);
    EXPECT_EQ(mixed.left, 3);
    EXPECT_EQ(mixed.width, 900);
    EXPECT_EQ(mixed.height, 580);

    const struct {
        const char *text;
        std::optional<int> value;
    } cases[] = {
        {"0", 0},          {"-0", 0},          {"2147483647", 2147483647}, {"-2147483648", -2147483648},
        {"2147483648", {}}, {"99999999999", {}}, {"$FFFFFFFF", -1},         {"$100000000", {}},
        {"+5", {}},        {"-", {}},          {"$", {}},                  {"0x", {}},
        {"-$10", {}},      {"1.5", {}},        {"0xg", {}},                {" 5", {}},
        {"", {}},          {"١٢", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SettingsFile::parseInteger(QString::fromUtf8(c.text)), c.value) << c.text;
}

// Section and key names match regardless of case; the first of a repeated
// key or section counts.
TEST_F(SettingsFileTest, namesIgnoreCase)
{
    write("[TarvleSolo]\nWIDTH=600\nwidth=700\n[TARVLESOLO]\nHeight=1\n");
    const MainSettings s = file().loadinifile();
    EXPECT_EQ(s.width, 600);
    EXPECT_EQ(s.height, 580);
}

// A save changes only the program's own keys: comments, other sections,
// unknown keys, blank lines and CR LF line ends stay byte for byte.
TEST_F(SettingsFileTest, foreignLinesSurviveASave)
{
    const QByteArray before = "; written by hand\r\n"
                              "[other]\r\n"
                              "Top=99\r\n"
                              "\r\n"
                              "[TARVLESOLO]\r\n"
                              "  width = 640\r\n"
                              "Extra=keep me\r\n"
                              "# a note\r\n"
                              "\r\n"
                              "[last]\r\n"
                              "x=y";
    write(before);
    MainSettings s = file().loadinifile();
    EXPECT_EQ(s.width, 640);
    EXPECT_EQ(s.top, 3) << "the other section's Top is not ours";
    s.width = 601;
    file().saveinifile(s);
    EXPECT_EQ(read(), QByteArray("; written by hand\r\n"
                                 "[other]\r\n"
                                 "Top=99\r\n"
                                 "\r\n"
                                 "[TARVLESOLO]\r\n"
                                 "Width=601\r\n"
                                 "Extra=keep me\r\n"
                                 "# a note\r\n"
                                 "Top=3\r\n"
                                 "Left=3\r\n"
                                 "Height=580\r\n"
                                 "Clickletters=0\r\n"
                                 "Name=Guest\r\n"
                                 "Sounds=yes\r\n"
                                 "Update=true\r\n"
                                 "\r\n"
                                 "[last]\r\n"
                                 "x=y"));

    // A file without our section and without a final line end gets the
    // section appended on lines of its own.
    write("[other]\nfoo=bar");
    file().saveinifile(MainSettings{});
    EXPECT_TRUE(read().startsWith("[other]\nfoo=bar\n[tarvlesolo]\nTop=3\n"));
}

// The file is 8-bit text: a name written as "Zo\xEB" is read as "Zoë" and
// written back as the same byte, and other lines keep their bytes. A name
// typed beyond Latin-1 is kept whole.
TEST_F(SettingsFileTest, namesAreKeptByteForByte)
{
    const QByteArray before = "[tarvlesolo]\nName=Zo\xEB\nNote=caf\xE9 \xFF\x80\n";
    write(before);
    MainSettings s = file().loadinifile();
    EXPECT_EQ(s.name, QStringLiteral(u"Zoë"));
    file().saveinifile(s);
    const QByteArray after = read();
    EXPECT_TRUE(after.contains("\nName=Zo\xEB\n")) << after.toStdString();
    EXPECT_TRUE(after.contains("\nNote=caf\xE9 \xFF\x80\n"));
    EXPECT_FALSE(after.contains("\xEF\xBF\xBD")) << "no replacement character is ever written";

    s.name = QStringLiteral(u"Zoë ☺");
    file().saveinifile(s);
    EXPECT_EQ(file().loadinifile().name, s.name);
}

// A file that cannot be written gives "Unable to write to" and its path.
TEST_F(SettingsFileTest, unwritableFile)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("tarvlesolo.ini"));
    try {
        file().saveinifile(MainSettings{});
        FAIL() << "no error";
    } catch (const SettingsError &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path()));
    }
    const SettingsFile nowhere(QDir(m_dir.path()).filePath("missing/tarvlesolo.ini"), "tarvlesolo");
    EXPECT_THROW(nowhere.saveinifile(MainSettings{}), SettingsError);
}

// A save that fails half way leaves the old file whole: the new text is
// written beside it and only then renamed over it.
TEST_F(SettingsFileTest, failedSaveKeepsTheOldFile)
{
    const QByteArray old = "[tarvlesolo]\nName=Old\n";
    write(old);
    // Writes past 16 bytes fail with EFBIG, as on a full disk.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    EXPECT_THROW(file().saveinifile(MainSettings{}), SettingsError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(read(), old);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"tarvlesolo.ini"}) << "no stray temporary file";
}
