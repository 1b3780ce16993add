#include "tallycontainers.h"
#include "testfiles.h"
#include "tlzrw1.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// A copy of the program in a temporary folder, so that "beside the program"
// is that folder, started with no window system.
class ProgramCopy
{
public:
    ProgramCopy()
        : m_dir(m_folder.path())
    {
        const QString program = m_dir.filePath("tarvlesolo");
        m_copied = QFile::copy(QStringLiteral(TARVLESOLO), program);
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    }

    QString file(const QString &name) const { return m_dir.filePath(name); }

    // Runs the program until it is up (and then settleMs more), sends the
    // signal and waits for the end; true when it ended normally with status 0.
    bool runUntil(int signal, int settleMs = 300)
    {
        if (!m_copied)
            return false;
        QProcess process;
        process.setWorkingDirectory(m_folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(file("tarvlesolo"), {});
        // The word list file is written while the main window is built.
        if (!process.waitForStarted(10000) || !waitForFile(file("English"), 20000))
            return false;
        QThread::msleep(settleMs);
        m_peakKilobytes = peakKilobytesOf(process.processId());
        m_mapped = mappedFilesOf(process.processId());
        if (::kill(pid_t(process.processId()), signal) != 0 || !process.waitForFinished(20000))
            return false;
        m_errors = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    // What the last run wrote to standard error.
    QString errors() const { return m_errors; }
    // The most memory the last run had in use before the signal, in KiB.
    qint64 peakKilobytes() const { return m_peakKilobytes; }
    // The files the last run had mapped before the signal, as /proc lists them.
    QByteArray mapped() const { return m_mapped; }

    // The libraries the dynamic loader loads before main(), as it lists them.
    QByteArray linkedLibraries() const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_TRACE_LOADED_OBJECTS", "1");
        process.setProcessEnvironment(environment);
        process.start(m_dir.filePath("tarvlesolo"), {});
        process.waitForFinished(10000);
        return process.readAllStandardOutput();
    }

private:
    static QByteArray mappedFilesOf(qint64 pid)
    {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
        return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
    }

    static qint64 peakKilobytesOf(qint64 pid)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
        return -1;
    }

    QString m_errors;
    qint64 m_peakKilobytes = -1;
    QByteArray m_mapped;
    QTemporaryDir m_folder;
    QDir m_dir;
    bool m_copied = false;
};

} // namespace

// SIGTERM, SIGINT and SIGHUP close the main window as its close box does:
// the settings are written beside the program and the word list file is
// removed, and the program ends normally.
TEST(Process, signalsCloseLikeTheCloseBox)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        ProgramCopy program;
        ASSERT_TRUE(program.runUntil(signal));
        QFile ini(program.file("tarvlesolo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        EXPECT_EQ(ini.readAll(), QByteArray("[tarvlesolo]\nTop=3\nLeft=3\nWidth=568\nHeight=580\nClickletters=0\n"
                                            "Name=Guest\nSounds=yes\nUpdate=true\n"));
        EXPECT_FALSE(QFile::exists(program.file("English")));
    }
}

// The program is not linked with Qt Multimedia or the sound server's
// libraries, which would hold up every start; it carries the sound output
// module, which it has loaded once its window is up.
TEST(Process, soundLibrariesLoadOnlyOnceTheWindowIsUp)
{
    ProgramCopy program;
    const QByteArray linked = program.linkedLibraries();
    ASSERT_TRUE(linked.contains("libQt6Widgets")) << linked.constData();
    EXPECT_FALSE(linked.contains("libQt6Multimedia")) << linked.constData();
    EXPECT_FALSE(linked.contains("libpulse")) << linked.constData();

    ASSERT_TRUE(program.runUntil(SIGTERM, 1000));
    EXPECT_TRUE(program.mapped().contains("tarvlesolo-sound"));
    EXPECT_TRUE(program.mapped().contains("libQt6Multimedia"));
}

// A first run with no game leaves the tally file of an empty tally, 73
// bytes; a second run reads it back and writes the same file again.
TEST(Process, emptyTallyFileRoundTrip)
{
    ProgramCopy program;
    QByteArray first;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(program.runUntil(SIGTERM));

        QFile tally(program.file("tarvlesolotally.tld"));
        ASSERT_TRUE(tally.open(QIODevice::ReadOnly));
        const QByteArray bytes = tally.readAll();
        EXPECT_EQ(bytes.size(), 73);
        EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("57525a4c160100003f00400038390d0a31320d0a")));
        if (run == 0)
            first = bytes;
        else
            EXPECT_EQ(bytes, first);
        EXPECT_FALSE(QFile::exists(program.file("tarvlesolotally.tld.bad")));
    }
}

// A close by signal waits for no one: with a settings file that cannot be
// written the error goes to standard error, the tally is still saved and the
// program ends.
TEST(Process, signalCloseReportsOnStandardErrorAndEnds)
{
    ProgramCopy program;
    ASSERT_TRUE(QDir().mkdir(program.file("tarvlesolo.ini")));
    ASSERT_TRUE(program.runUntil(SIGTERM));
    EXPECT_TRUE(program.errors().contains("Unable to write to " + program.file("tarvlesolo.ini") + "."))
        << qPrintable(program.errors());
    EXPECT_TRUE(QFile::exists(program.file("tarvlesolotally.tld")));
    EXPECT_FALSE(QFile::exists(program.file("English")));
}

// Damaged files cost bounded memory: a tiny container asking for a grid of
// 100 million cells, a small one that unpacks to 300 MB, and a stored window
// size of 2^31 pixels each start within 100 MB of a normal start, and the
// tally written at exit is the small one of an empty tally.
TEST(Process, damagedFilesCostBoundedMemory)
{
    const int settle = 1500;
    ProgramCopy normal;
    ASSERT_TRUE(normal.runUntil(SIGTERM, settle));
    const qint64 base = normal.peakKilobytes();
    ASSERT_GT(base, 0);

    const struct {
        const char *what;
        QByteArray tally;
        QByteArray ini;
    } cases[] = {
        {"huge grid", Tlzrw1::compress("10000\r\n10000\r\n"), {}},
        {"huge text", zeroBlocks(9600), {}},
        {"huge window", {}, "[tarvlesolo]\nWidth=0x7FFFFFFF\nHeight=0x7FFFFFFF\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ProgramCopy program;
        if (!c.tally.isEmpty()) {
            ASSERT_TRUE(writeFile(program.file("tarvlesolotally.tld"), c.tally));
        }
        if (!c.ini.isEmpty()) {
            ASSERT_TRUE(writeFile(program.file("tarvlesolo.ini"), c.ini));
        }
        ASSERT_TRUE(program.runUntil(SIGTERM, settle));
        EXPECT_GT(program.peakKilobytes(), 0);
        EXPECT_LT(program.peakKilobytes(), base + 100 * 1024) << "normal start: " << base << " KiB";
        EXPECT_EQ(readFile(program.file("tarvlesolotally.tld")).size(), 73);
        if (!c.tally.isEmpty()) {
            EXPECT_EQ(readFile(program.file("tarvlesolotally.tld.bad")), c.tally);
        }
    }
}

// A signal while a start-up error box waits closes the box and then the
// program, saving as the close box does.
TEST(Process, signalDuringAStartUpBoxEnds)
{
    ProgramCopy program;
    const QByteArray damaged("WRZL\x10\x00\x00\x00garbage", 16);
    ASSERT_TRUE(writeFile(program.file("tarvlesolotally.tld"), damaged));
    ASSERT_TRUE(program.runUntil(SIGTERM));
    EXPECT_TRUE(QFile::exists(program.file("tarvlesolo.ini")));
    EXPECT_EQ(readFile(program.file("tarvlesolotally.tld.bad")), damaged);
    EXPECT_EQ(readFile(program.file("tarvlesolotally.tld")).size(), 73);
    EXPECT_FALSE(QFile::exists(program.file("English")));
}
