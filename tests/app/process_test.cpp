#include "testfiles.h"

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

    // Runs the program until it is up, sends the signal and waits for the
    // end; true when it ended normally with status 0.
    bool runUntil(int signal)
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
        QThread::msleep(300);
        if (::kill(pid_t(process.processId()), signal) != 0 || !process.waitForFinished(20000))
            return false;
        m_errors = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    // What the last run wrote to standard error.
    QString errors() const { return m_errors; }

private:
    QString m_errors;
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
