#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Waits for a file to appear; false after the time given.
bool waitForFile(const QString &path, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(path)) {
        if (clock.elapsed() > milliseconds)
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

// SIGTERM, SIGINT and SIGHUP close the main window as its close box does:
// the settings are written beside the program and the word list file is
// removed, and the program ends normally.
TEST(Process, SignalsCloseLikeTheCloseBox)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QTemporaryDir folder;
        const QDir dir(folder.path());
        // A copy of the program, so that "beside the program" is this folder.
        const QString program = dir.filePath("tarvlesolo");
        ASSERT_TRUE(QFile::copy(QStringLiteral(TARVLESOLO), program));
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);

        QProcess process;
        process.setWorkingDirectory(folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(10000));
        // The word list file is written while the main window is built.
        ASSERT_TRUE(waitForFile(dir.filePath("English"), 20000));
        QThread::msleep(300);

        ASSERT_EQ(::kill(pid_t(process.processId()), signal), 0);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);

        QFile ini(dir.filePath("tarvlesolo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        EXPECT_EQ(ini.readAll(), QByteArray("[tarvlesolo]\nTop=3\nLeft=3\nWidth=568\nHeight=580\nClickletters=0\n"
                                            "Name=Guest\nSounds=yes\nUpdate=true\n"));
        EXPECT_FALSE(QFile::exists(dir.filePath("English")));
    }
}

// A first run with no game leaves the tally file of an empty tally, 73
// bytes; a second run reads it back and writes the same file again.
TEST(Process, EmptyTallyFileRoundTrip)
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    const QString program = dir.filePath("tarvlesolo");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TARVLESOLO), program));
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);

    QByteArray first;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        QProcess process;
        process.setWorkingDirectory(folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(program, {});
        ASSERT_TRUE(process.waitForStarted(10000));
        ASSERT_TRUE(waitForFile(dir.filePath("English"), 20000));
        QThread::msleep(300);
        ASSERT_EQ(::kill(pid_t(process.processId()), SIGTERM), 0);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 0);

        QFile tally(dir.filePath("tarvlesolotally.tld"));
        ASSERT_TRUE(tally.open(QIODevice::ReadOnly));
        const QByteArray bytes = tally.readAll();
        EXPECT_EQ(bytes.size(), 73);
        EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("57525a4c160100003f00400038390d0a31320d0a")));
        if (run == 0)
            first = bytes;
        else
            EXPECT_EQ(bytes, first);
        EXPECT_FALSE(QFile::exists(dir.filePath("tarvlesolotally.tld.bad")));
    }
}
