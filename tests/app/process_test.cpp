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
