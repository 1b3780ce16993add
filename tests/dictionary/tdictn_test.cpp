// The game's word list on real files: writing English at start-up, look-ups
// through it, and what is deleted (or kept) at exit.

#include "tdictn.h"
#include "wordrecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "testfiles.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

constexpr char Separator = 0x1E;
constexpr qint64 BuiltInRecords = 264063;

QByteArray record(const QByteArray &field, char separator = Separator)
{
    QByteArray bytes(1, separator);
    bytes += field;
    bytes.append(WordRecords::RecordSize - bytes.size(), ' ');
    return bytes;
}

QByteArray records(std::initializer_list<const char *> fields)
{
    QByteArray bytes;
    for (const char *field : fields)
        bytes += record(field);
    return bytes;
}

QByteArray builtInList()
{
    return readFile(QStringLiteral(":/TEXT_DEMO"));
}

// The word of a record, as the game would send it.
QString wordOf(const QByteArray &rec)
{
    return QString::fromLatin1(rec.mid(1).trimmed()).toLower();
}

class TDictnTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    QString folder() const { return m_folder.path(); }
    QString path(const QString &name) const { return m_folder.filePath(name); }
    QString englishPath() const { return path(QStringLiteral("English")); }
    QStringList entries() const
    {
        return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(TDictnTest, startUpWritesTheBuiltInListByteForByteAndExitDeletesIt)
{
    // A missing English is written from the resource (all of it, nothing
    // else in the folder), opened, and deleted at exit; the next start
    // writes it again.
    const QByteArray expected = builtInList();
    ASSERT_EQ(expected.size(), BuiltInRecords * WordRecords::RecordSize);

    for (int run = 0; run < 2; ++run) {
        {
            TDictn spell(folder());
            EXPECT_TRUE(spell.opened());
            EXPECT_TRUE(spell.writeError().isEmpty()) << spell.writeError().toStdString();
            EXPECT_EQ(spell.fileName(), englishPath());
            EXPECT_EQ(entries(), QStringList{QStringLiteral("English")});
            EXPECT_EQ(QFileInfo(englishPath()).size(), BuiltInRecords * WordRecords::RecordSize);
            EXPECT_TRUE(readFile(englishPath()) == expected);
            EXPECT_TRUE(spell.checkword(QStringLiteral("word")));
        }
        EXPECT_FALSE(QFileInfo::exists(englishPath())) << "run " << run;
        EXPECT_TRUE(entries().isEmpty());
    }
}

TEST_F(TDictnTest, findsTheFirstAndLastWordsOfTheList)
{
    // The two ends of the search range are reachable.
    const QByteArray list = builtInList();
    ASSERT_FALSE(list.isEmpty());
    const QString first = wordOf(list.left(WordRecords::RecordSize));
    const QString last = wordOf(list.right(WordRecords::RecordSize));
    EXPECT_EQ(first, QStringLiteral("aa"));
    EXPECT_EQ(last, QStringLiteral("zzzs"));

    TDictn spell(folder());
    ASSERT_TRUE(spell.opened());
    EXPECT_EQ(spell.findword(first), 0);
    EXPECT_EQ(spell.findword(last), BuiltInRecords - 1);
    EXPECT_TRUE(spell.checkword(first));
    EXPECT_TRUE(spell.checkword(last));
}

TEST_F(TDictnTest, aPrefixOrExtensionOfAListedWordIsNotFoundByItself)
{
    // Only whole entries match: a listed word's unlisted prefix, or a longer
    // key that starts with a listed 14-letter word, is not found.
    TDictn spell(folder());
    ASSERT_TRUE(spell.opened());
    EXPECT_TRUE(spell.checkword(QStringLiteral("aahed")));
    EXPECT_FALSE(spell.checkword(QStringLiteral("aahe")));
    EXPECT_TRUE(spell.checkword(QStringLiteral("zyzzyva")));
    EXPECT_FALSE(spell.checkword(QStringLiteral("zyzzyv")));
    EXPECT_TRUE(spell.checkword(QStringLiteral("abominableness")));
    EXPECT_FALSE(spell.checkword(QStringLiteral("abominablenesse")));
    EXPECT_FALSE(spell.checkword(QStringLiteral("abominablenesses")));
}

TEST_F(TDictnTest, keysAreNormalisedBeforeTheSearch)
{
    // Case, surrounding spaces and NULs do not matter; blank keys and a NUL
    // inside a word (which becomes a space) are not found.
    TDictn spell(folder());
    ASSERT_TRUE(spell.opened());
    const qint32 position = spell.findword(QStringLiteral("zebra"));
    ASSERT_GE(position, 0);
    const QChar nul(0);
    for (const QString &key : {QStringLiteral("ZEBRA"), QStringLiteral("ZeBrA"), QStringLiteral("  zebra"),
                               QStringLiteral("zebra   "), QStringLiteral(" zebra "), QString(QStringLiteral("zebra") + nul),
                               QString(nul + QStringLiteral("zebra") + nul + nul)}) {
        EXPECT_EQ(spell.findword(key), position) << key.toStdString();
    }
    for (const QString &key : {QString(), QStringLiteral(" "), QString(15, QLatin1Char(' ')), QString(4, nul),
                               QString(QStringLiteral("ze") + nul + QStringLiteral("bra")), QStringLiteral("\tzebra")}) {
        EXPECT_EQ(spell.findword(key), -1) << key.toStdString();
        EXPECT_FALSE(spell.checkword(key));
    }
}

TEST_F(TDictnTest, aRunOfEqualFieldsAnswersWithItsFirstRecord)
{
    // Several records with the same 14-letter field: the position of the
    // first one, which is also the record left in the buffer.
    const QByteArray field("OVERSIMPLIFICA");
    const QByteArray bytes = records({"AA", "OVERSEE"}) + record(field, '1') + record(field, '2') + record(field, '3')
        + record(field, '4') + records({"ZEBRA"});
    const QString resource = path(QStringLiteral("list.rec"));
    ASSERT_TRUE(writeFile(resource, bytes));

    {
        TDictn spell(folder(), resource);
        ASSERT_TRUE(spell.opened());
        EXPECT_EQ(spell.findword(QStringLiteral("oversimplifica")), 2);
        EXPECT_EQ(spell.findword(QStringLiteral("oversimplification")), -1);
    }

    QFile file(resource);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    WordRecords list(&file);
    EXPECT_EQ(list.findword(QStringLiteral("oversimplifica")), 2);
    EXPECT_EQ(list.lastRecord(), record(field, '1'));
}

TEST_F(TDictnTest, aFileWithAPartialLastRecordIsSearchedOverItsWholeRecords)
{
    // A size that is not a multiple of 15 counts only the whole records.
    const QString resource = path(QStringLiteral("list.rec"));
    ASSERT_TRUE(writeFile(resource, records({"ANT", "BEE", "CAT"}) + QByteArray("\x1e" "DOG     ")));
    TDictn spell(folder(), resource);
    ASSERT_TRUE(spell.opened());
    EXPECT_EQ(spell.findword(QStringLiteral("ant")), 0);
    EXPECT_EQ(spell.findword(QStringLiteral("cat")), 2);
    EXPECT_EQ(spell.findword(QStringLiteral("dog")), -1);
}

// An English that is not the game's own list (here every three-letter
// combination, which would make NRI a word) is neither used nor changed nor
// deleted: the built-in list judges the words, and the notice says so once.
TEST_F(TDictnTest, aForeignEnglishIsLeftAloneAndTheOwnListJudges)
{
    QByteArray every;
    for (char a = 'A'; a <= 'Z'; ++a)
        for (char b = 'A'; b <= 'Z'; ++b)
            for (char c = 'A'; c <= 'Z'; ++c)
                every += record(QByteArray(1, a) + b + c);
    ASSERT_TRUE(writeFile(englishPath(), every));
    const QDateTime modified = QFileInfo(englishPath()).lastModified();
    {
        TDictn spell(folder());
        ASSERT_TRUE(spell.opened());
        EXPECT_TRUE(spell.writeError().isEmpty());
        EXPECT_FALSE(spell.checkword(QStringLiteral("nri")));
        EXPECT_TRUE(spell.checkword(QStringLiteral("quiz")));
        EXPECT_TRUE(spell.checkword(QStringLiteral("zymurgy")));
        EXPECT_EQ(spell.notice(), "The file " + QDir::toNativeSeparators(englishPath())
                                      + " does not hold this game's word list. It was left unchanged, and words "
                                        "are judged with the game's own list.");
        EXPECT_EQ(entries(), QStringList{"English"}) << "no other file is made";
    }
    EXPECT_EQ(readFile(englishPath()), every);
    EXPECT_EQ(QFileInfo(englishPath()).lastModified(), modified);

    // The game's own list needs no notice.
    ASSERT_TRUE(QFile::remove(englishPath()));
    TDictn own(folder());
    EXPECT_TRUE(own.notice().isEmpty());
}

TEST_F(TDictnTest, onlyAnExactCopyOfTheListIsDeletedAtExit)
{
    // Same size and same bytes as the list up to its first NUL: deleted.
    // One byte changed, one byte more or less, or empty: kept unchanged.
    const QByteArray list = records({"AA", "BB", "CC", "DD"});
    const QString resource = path(QStringLiteral("list.rec"));
    ASSERT_TRUE(writeFile(resource, list));

    QByteArray changed = list;
    changed[WordRecords::RecordSize + 1] = 'X';
    const std::pair<const char *, QByteArray> kept[] = {
        {"changed", changed},
        {"longer", list + ' '},
        {"shorter", list.chopped(1)},
        {"one record short", list.chopped(WordRecords::RecordSize)},
        {"empty", QByteArray()},
    };
    for (const auto &[name, contents] : kept) {
        ASSERT_TRUE(writeFile(englishPath(), contents));
        { TDictn spell(folder(), resource); }
        ASSERT_TRUE(QFileInfo::exists(englishPath())) << name;
        EXPECT_EQ(readFile(englishPath()), contents) << name;
    }

    // A copy left behind by an earlier run is reused and then deleted.
    ASSERT_TRUE(writeFile(englishPath(), list));
    {
        TDictn spell(folder(), resource);
        EXPECT_EQ(spell.findword(QStringLiteral("dd")), 3);
    }
    EXPECT_FALSE(QFileInfo::exists(englishPath()));
}

TEST_F(TDictnTest, aListLeftByAnEarlierRunIsReusedAndDeleted)
{
    // The built-in list under English at start-up is used, then deleted at exit.
    ASSERT_TRUE(writeFile(englishPath(), builtInList()));
    {
        TDictn spell(folder());
        ASSERT_TRUE(spell.opened());
        EXPECT_TRUE(spell.checkword(QStringLiteral("quiz")));
    }
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(TDictnTest, theListEndsAtTheFirstNulOfTheResource)
{
    // Bytes after a NUL in the resource are neither written nor compared.
    const QString resource = path(QStringLiteral("list.rec"));
    ASSERT_TRUE(writeFile(resource, records({"AA", "BB"}) + QByteArray(1, '\0') + records({"CC"})));
    {
        TDictn spell(folder(), resource);
        ASSERT_TRUE(spell.opened());
        EXPECT_EQ(readFile(englishPath()), records({"AA", "BB"}));
        EXPECT_EQ(spell.findword(QStringLiteral("bb")), 1);
        EXPECT_EQ(spell.findword(QStringLiteral("cc")), -1);
    }
    EXPECT_FALSE(QFileInfo::exists(englishPath()));
}

TEST_F(TDictnTest, aMissingResourceWritesNothingAndEveryLookUpAnswersNo)
{
    // No built-in list: no file, no write error, not opened, all words refused.
    {
        TDictn spell(folder(), path(QStringLiteral("no-such-resource")));
        EXPECT_FALSE(spell.opened());
        EXPECT_TRUE(spell.writeError().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(englishPath()));
        EXPECT_EQ(spell.findword(QStringLiteral("aa")), -1);
        EXPECT_FALSE(spell.checkword(QStringLiteral("zebra")));
    }
    EXPECT_TRUE(entries().isEmpty());

    TDictn fromMissingResource(folder(), QStringLiteral(":/NO_SUCH_LIST"));
    EXPECT_FALSE(fromMissingResource.opened());
    EXPECT_FALSE(QFileInfo::exists(englishPath()));
}

TEST_F(TDictnTest, aFolderThatCannotBeWrittenGivesAWriteErrorAndNoList)
{
    // The failed write is reported as text, never thrown; nothing is created.
    const QString missingFolder = path(QStringLiteral("no/such/folder"));
    TDictn spell(missingFolder);
    EXPECT_FALSE(spell.opened());
    EXPECT_TRUE(spell.writeError().contains(QDir::toNativeSeparators(missingFolder + QStringLiteral("/English"))))
        << spell.writeError().toStdString();
    EXPECT_EQ(spell.findword(QStringLiteral("zebra")), -1);
    EXPECT_FALSE(QFileInfo::exists(missingFolder));
}

TEST_F(TDictnTest, anEnglishThatCannotBeOpenedAnswersNoAndIsLeftAlone)
{
    // A directory called English is not a list: not opened, not replaced,
    // not removed at exit.
    ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("English")));
    ASSERT_TRUE(writeFile(englishPath() + QStringLiteral("/inside"), "x"));
    {
        TDictn spell(folder());
        EXPECT_FALSE(spell.opened());
        EXPECT_TRUE(spell.writeError().isEmpty());
        EXPECT_EQ(spell.findword(QStringLiteral("aa")), -1);
        EXPECT_FALSE(spell.checkword(QStringLiteral("zebra")));
    }
    EXPECT_TRUE(QFileInfo(englishPath()).isDir());
    EXPECT_TRUE(QFileInfo::exists(englishPath() + QStringLiteral("/inside")));
}

TEST_F(TDictnTest, anInterruptedWriteLeavesNoTruncatedList)
{
    // A write that stops part-way (here: a file size limit) leaves neither
    // English nor a temporary file, and reports the failure.
#ifdef Q_OS_LINUX
    constexpr rlim_t Limit = 1 << 20;
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    if (original.rlim_max != RLIM_INFINITY && original.rlim_max < Limit)
        GTEST_SKIP() << "file size limit already below the test's";

    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = original;
    limited.rlim_cur = Limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool opened = true;
    QString error;
    {
        TDictn spell(folder());
        setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previousHandler);
        opened = spell.opened();
        error = spell.writeError();
        EXPECT_EQ(spell.findword(QStringLiteral("zebra")), -1);
    }
    EXPECT_FALSE(opened);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.contains(englishPath())) << error.toStdString();
    EXPECT_TRUE(entries().isEmpty()) << entries().join(QLatin1Char(' ')).toStdString();

    // The next start, with room to write, gets the whole list.
    TDictn spell(folder());
    EXPECT_TRUE(spell.opened());
    EXPECT_EQ(QFileInfo(englishPath()).size(), BuiltInRecords * WordRecords::RecordSize);
#else
    GTEST_SKIP() << "needs a file size limit";
#endif
}

TEST_F(TDictnTest, theDefaultFolderIsTheCurrentFolder)
{
    // The game passes nothing: English is looked for in the current folder.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder()));
    {
        TDictn spell;
        EXPECT_EQ(QFileInfo(spell.fileName()).canonicalFilePath(), QFileInfo(englishPath()).canonicalFilePath());
        EXPECT_TRUE(spell.opened());
    }
    QDir::setCurrent(previous);
    EXPECT_TRUE(entries().isEmpty());
}

TEST(TDictnMessages, theNotFoundMessageIsTheOneThePlayerSees)
{
    // Shown by the window when the list could not be opened.
    EXPECT_EQ(TDictn::notFoundMessage(), QStringLiteral("English.dic dictionary not found!"));
}
