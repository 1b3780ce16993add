// The record search on its own (in-memory and failing devices), the built-in
// list as compiled into the program, and the generator that builds it.

#include "dictionaryerror.h"
#include "wordrecords.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QProcess>
#include <QResource>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

constexpr char Separator = 0x1E;
constexpr qint64 BuiltInRecords = 264063;
constexpr auto BuiltInList = ":/TEXT_DEMO";

// One record as stored: a separator byte, then the field padded to 14 bytes.
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

// A seekable device of ten records' size whose seek or read always fails.
class FailingDevice : public QIODevice
{
public:
    enum class Failure { Seek, Read };

    explicit FailingDevice(Failure failure)
        : m_failure(failure)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return false; }
    qint64 size() const override { return 10 * WordRecords::RecordSize; }
    bool seek(qint64 position) override
    {
        if (m_failure == Failure::Seek) {
            setErrorString(QStringLiteral("simulated seek failure"));
            return false;
        }
        return QIODevice::seek(position);
    }

protected:
    qint64 readData(char *, qint64) override
    {
        setErrorString(QStringLiteral("simulated read failure"));
        return -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    Failure m_failure;
};

} // namespace

// ---------------------------------------------------------------------------
// Normalising keys and record fields

TEST(WordRecordsNormalizeKey, padsTrimsSpacesOnlyAndUpperCasesAsciiLetters)
{
    // NUL counts as a space, only spaces are trimmed, only a..z change case.
    EXPECT_EQ(WordRecords::normalizeKey("cat"), QByteArray("CAT            "));
    EXPECT_EQ(WordRecords::normalizeKey("  cat  "), QByteArray("CAT            "));
    EXPECT_EQ(WordRecords::normalizeKey(QByteArray("\0cat\0", 5)), QByteArray("CAT            "));
    EXPECT_EQ(WordRecords::normalizeKey(QByteArray("c\0t", 3)), QByteArray("C T            "));
    EXPECT_EQ(WordRecords::normalizeKey("\tcat"), QByteArray("\tCAT           "));
    EXPECT_EQ(WordRecords::normalizeKey("a1-z\xc3\xa9"), QByteArray("A1-Z\xc3\xa9         "));
    EXPECT_EQ(WordRecords::normalizeKey(""), QByteArray(15, ' '));
}

TEST(WordRecordsNormalizeKey, neverCutsALongKey)
{
    // A key of 15 characters or more keeps its length, so it equals no record.
    EXPECT_EQ(WordRecords::normalizeKey("abcdefghijklmno"), QByteArray("ABCDEFGHIJKLMNO"));
    EXPECT_EQ(WordRecords::normalizeKey(" abcdefghijklmnopq "), QByteArray("ABCDEFGHIJKLMNOPQ"));
}

// ---------------------------------------------------------------------------
// Searching

TEST(WordRecordsSearch, findsEveryRecordAtItsPositionAndNothingBetween)
{
    // For lists of every length from 1 to 60, each word is found at its own
    // position and keys sorting before, between and after them are not.
    for (int count = 1; count <= 60; ++count) {
        QByteArray bytes;
        QStringList words;
        for (int i = 0; i < count; ++i) {
            const QByteArray field = QByteArray("B") + char('A' + i / 26) + char('A' + i % 26);
            bytes += record(field);
            words << QString::fromLatin1(field);
        }
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        WordRecords list(&buffer);
        ASSERT_EQ(list.lastPosition(), count - 1);

        EXPECT_EQ(list.findword(QStringLiteral("a")), -1) << count;
        EXPECT_EQ(list.findword(QStringLiteral("z")), -1) << count;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(list.findword(words.at(i).toLower()), i) << count << ' ' << words.at(i).toStdString();
            EXPECT_EQ(list.lastRecord(), record(words.at(i).toLatin1()));
            EXPECT_EQ(list.findword(words.at(i) + QLatin1Char('A')), -1) << count;
        }
    }
}

TEST(WordRecordsSearch, returnsTheFirstOfARunOfEqualFieldsAndLeavesItAsLastRead)
{
    // A field repeated several times in a row answers with the first of the
    // run, wherever the run lies; the separator bytes tell the copies apart.
    const QByteArray field("ABCDEFGHIJKLMN");
    const QByteArray run = record(field, '1') + record(field, '2') + record(field, '3') + record(field, '4');
    struct Case {
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        {{}, {}},
        {{}, records({"ZEBRA"})},
        {records({"AA"}), {}},
        {records({"AA", "AAA", "AAB"}), records({"ZA", "ZB"})},
        {records({"AA", "AAA", "AAB", "AAC", "AAD", "AAE", "AAF"}), records({"ZA"})},
    };
    for (const Case &c : cases) {
        QByteArray bytes = c.before + run + c.after;
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        WordRecords list(&buffer);
        const qint32 first = qint32(c.before.size() / WordRecords::RecordSize);
        EXPECT_EQ(list.findword(QStringLiteral("abcdefghijklmn")), first);
        EXPECT_EQ(list.lastRecord(), record(field, '1'));
    }
}

TEST(WordRecordsSearch, recordFieldsAreNormalisedLikeKeys)
{
    // A record's field is compared after the same normalisation as the key,
    // so a hand-made list in lower case or with NUL padding still matches.
    QByteArray bytes = record("ant") + record(QByteArray("BEE\0\0\0", 6)) + record("cat");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    WordRecords list(&buffer);
    EXPECT_EQ(list.findword(QStringLiteral("ANT")), 0);
    EXPECT_EQ(list.findword(QStringLiteral("bee")), 1);
    EXPECT_EQ(list.findword(QStringLiteral("Cat")), 2);
}

TEST(WordRecordsSearch, blankKeysAreRefusedWithoutReading)
{
    // Empty, all-space and all-NUL keys answer -1 before any record is read.
    QByteArray bytes = records({"AA", "BB", "CC"});
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    WordRecords list(&buffer);
    const QString spaceNulSpace = QStringLiteral(" ") + QChar(0) + QStringLiteral(" ");
    for (const QString &key : {QString(), QStringLiteral("   "), QString(3, QChar(0)), spaceNulSpace}) {
        EXPECT_EQ(list.findword(key), -1);
        EXPECT_FALSE(list.checkword(key));
    }
    EXPECT_TRUE(list.lastRecord().isEmpty());
}

TEST(WordRecordsSearch, keysOfFifteenCharactersOrMoreNeverMatch)
{
    // A long key is not cut to the field width: it matches no record.
    QByteArray bytes = records({"ABCDEFGHIJKLMN", "ABCDEFGHIJKLMO"});
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    WordRecords list(&buffer);
    EXPECT_EQ(list.findword(QStringLiteral("abcdefghijklmn")), 0);
    EXPECT_EQ(list.findword(QStringLiteral("abcdefghijklmn ")), 0);
    EXPECT_EQ(list.findword(QStringLiteral("abcdefghijklmna")), -1);
    EXPECT_EQ(list.findword(QStringLiteral("abcdefghijklmnopqrstuvwxyz")), -1);
}

TEST(WordRecordsSearch, nonAsciiKeysAreComparedAsUtf8AndNotFound)
{
    // Letters outside a..z are not folded; such a key is simply absent.
    QByteArray bytes = records({"CAFE", "CAFES"});
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    WordRecords list(&buffer);
    EXPECT_EQ(list.findword(QStringLiteral("caf\u00e9")), -1);
    EXPECT_EQ(list.findword(QStringLiteral("\U0001F600")), -1);
    EXPECT_EQ(list.findword(QStringLiteral("cafe")), 0);
}

TEST(WordRecordsSearch, ignoresATrailingPartialRecord)
{
    // Only whole records count; the bytes of an incomplete last one are never read.
    QByteArray bytes = records({"AA", "BB", "CC"}) + QByteArray("\x1e" "DD");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    WordRecords list(&buffer);
    EXPECT_EQ(list.lastPosition(), 2);
    EXPECT_EQ(list.findword(QStringLiteral("cc")), 2);
    EXPECT_EQ(list.findword(QStringLiteral("dd")), -1);
}

TEST(WordRecordsSearch, aRecordThatCannotBeReadInFullAnswersNo)
{
    // A file that shrank after opening gives a short read: -1, not an error.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile file(folder.filePath(QStringLiteral("list")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    ASSERT_EQ(file.write(records({"AA", "BB", "CC", "DD", "EE"})), 5 * WordRecords::RecordSize);
    WordRecords list(&file);
    ASSERT_EQ(list.lastPosition(), 4);
    ASSERT_TRUE(file.resize(WordRecords::RecordSize + 4));
    EXPECT_EQ(list.findword(QStringLiteral("ee")), -1);
    EXPECT_EQ(list.findword(QStringLiteral("aa")), -1);
}

TEST(WordRecordsSearch, emptyClosedOrMissingDevicesAnswerNo)
{
    // No records to read is not an error: every look-up answers -1.
    QByteArray empty;
    QBuffer emptyBuffer(&empty);
    ASSERT_TRUE(emptyBuffer.open(QIODevice::ReadOnly));
    WordRecords emptyList(&emptyBuffer);
    EXPECT_EQ(emptyList.lastPosition(), -1);
    EXPECT_EQ(emptyList.findword(QStringLiteral("aa")), -1);

    QByteArray bytes = records({"AA"});
    QBuffer closedBuffer(&bytes);
    WordRecords closedList(&closedBuffer);
    EXPECT_EQ(closedList.lastPosition(), -1);
    EXPECT_EQ(closedList.findword(QStringLiteral("aa")), -1);

    WordRecords noList(nullptr);
    EXPECT_EQ(noList.lastPosition(), -1);
    EXPECT_FALSE(noList.checkword(QStringLiteral("aa")));
}

TEST(WordRecordsSearch, deviceErrorsThrowWithTheirReason)
{
    // A seek or read error reported by the device is thrown as DictionaryError
    // carrying the device's own explanation.
    const std::pair<FailingDevice::Failure, const char *> cases[] = {
        {FailingDevice::Failure::Seek, "simulated seek failure"},
        {FailingDevice::Failure::Read, "simulated read failure"},
    };
    for (const auto &[failure, reason] : cases) {
        FailingDevice device(failure);
        WordRecords list(&device);
        ASSERT_EQ(list.lastPosition(), 9);
        try {
            list.findword(QStringLiteral("word"));
            ADD_FAILURE() << "no error thrown for " << reason;
        } catch (const DictionaryError &error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(reason))) << error.what();
            EXPECT_TRUE(error.message().contains(QLatin1String("word list"))) << error.what();
        }
    }
}

// ---------------------------------------------------------------------------
// The built-in list

TEST(BuiltInList, isStoredUncompressedWithTheExpectedNumberOfRecords)
{
    // The resource is plain records, readable and comparable in place.
    QResource resource(QString::fromLatin1(BuiltInList));
    ASSERT_TRUE(resource.isValid());
    EXPECT_EQ(resource.compressionAlgorithm(), QResource::NoCompression);
    EXPECT_EQ(resource.size(), BuiltInRecords * WordRecords::RecordSize);
}

TEST(BuiltInList, everyRecordIsAWordOfTwoToFourteenLettersInStrictlyAscendingOrder)
{
    // Separator, 2..14 letters A..Z, space padding, no NUL, and the byte
    // order the search relies on, with no duplicates.
    QFile file(QString::fromLatin1(BuiltInList));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), BuiltInRecords * WordRecords::RecordSize);
    EXPECT_FALSE(bytes.contains('\0'));

    QByteArray previous;
    for (qsizetype offset = 0; offset < bytes.size(); offset += WordRecords::RecordSize) {
        const QByteArray rec = bytes.mid(offset, WordRecords::RecordSize);
        ASSERT_EQ(rec.at(0), Separator) << "record " << offset / WordRecords::RecordSize;
        const QByteArray field = rec.mid(1);
        const qsizetype letters = field.indexOf(' ') < 0 ? field.size() : field.indexOf(' ');
        ASSERT_GE(letters, 2) << field.constData();
        for (qsizetype i = 0; i < field.size(); ++i) {
            if (i < letters)
                ASSERT_TRUE(field.at(i) >= 'A' && field.at(i) <= 'Z') << field.constData();
            else
                ASSERT_EQ(field.at(i), ' ') << field.constData();
        }
        ASSERT_LT(previous, field) << previous.constData() << " / " << field.constData();
        previous = field;
    }
}

TEST(BuiltInList, canBeSearchedInPlace)
{
    // The search works on the resource itself, as the developer tool uses it.
    QFile file(QString::fromLatin1(BuiltInList));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    WordRecords list(&file);
    EXPECT_EQ(list.lastPosition(), BuiltInRecords - 1);
    EXPECT_EQ(list.findword(QStringLiteral("aa")), 0);
    EXPECT_EQ(list.findword(QStringLiteral("zzzs")), BuiltInRecords - 1);
    EXPECT_TRUE(list.checkword(QStringLiteral("zyzzyva")));
    EXPECT_FALSE(list.checkword(QStringLiteral("zyzzyv")));
}

// ---------------------------------------------------------------------------
// The generator

namespace {

struct GeneratorRun {
    int exitCode = -1;
    QByteArray output;
    bool outputExists = false;
    QStringList files;
};

GeneratorRun runGenerator(const QTemporaryDir &folder, const QByteArray &input, const QStringList &arguments = {})
{
    QFile in(folder.filePath(QStringLiteral("words.txt")));
    if (in.open(QIODevice::WriteOnly))
        in.write(input);
    in.close();

    const QString outPath = folder.filePath(QStringLiteral("records"));
    QProcess process;
    process.start(QString::fromLocal8Bit(TARVLE_MKWORDLIST),
                  arguments.isEmpty() ? QStringList{in.fileName(), outPath} : arguments);
    GeneratorRun run;
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    QFile out(outPath);
    run.outputExists = out.exists();
    if (out.open(QIODevice::ReadOnly))
        run.output = out.readAll();
    run.files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    return run;
}

} // namespace

TEST(WordListGenerator, keepsSortsAndPadsOnlyWordsOfTwoToFourteenLowerCaseLetters)
{
    // CR LF is tolerated; one-letter, over-long, upper-case, accented,
    // punctuated and blank lines are skipped; duplicates are written once.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray input = "zebra\r\n"
                             "ab\n"
                             "a\n"
                             "\n"
                             "abcdefghijklmn\n"
                             "abcdefghijklmno\n"
                             "it's\n"
                             "caf\xc3\xa9\n"
                             "Upper\n"
                             " spaced\n"
                             "word2\n"
                             "ab\r\n"
                             "abc\n"
                             "ba"; // no final line end
    const GeneratorRun run = runGenerator(folder, input);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, records({"AB", "ABC", "ABCDEFGHIJKLMN", "BA", "ZEBRA"}));
    EXPECT_EQ(run.files, (QStringList{QStringLiteral("records"), QStringLiteral("words.txt")}));
}

TEST(WordListGenerator, failsWithoutWritingOnBadInput)
{
    // Wrong arguments, a missing input or an input without a usable word give
    // a non-zero exit and no output file, so a build never ships an empty list.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    GeneratorRun run = runGenerator(folder, "x\n", {QStringLiteral("only-one-argument")});
    EXPECT_EQ(run.exitCode, 2);

    run = runGenerator(folder, "x\n", {folder.filePath(QStringLiteral("missing.txt")), folder.filePath(QStringLiteral("records"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.outputExists);

    run = runGenerator(folder, "a\nUPPER\nabcdefghijklmnop\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.outputExists);
    EXPECT_EQ(run.files, QStringList{QStringLiteral("words.txt")});
}
