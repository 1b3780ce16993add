#include "signature.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <csignal>
#include <cstdio>

namespace {

// The real service on a free loopback port, serving a signed installer.
class Service
{
public:
    explicit Service(const QString &installer)
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        m_process.start(QStringLiteral(TARVLE_SERVICE), {"--port", QString::number(m_port), "--db",
                                                         m_data.filePath("scores.db"), "--installer", installer});
        m_process.waitForStarted();
        for (int attempt = 0; attempt < 200; ++attempt) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(50))
                return;
            QThread::msleep(20);
        }
    }

    ~Service()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

private:
    QTemporaryDir m_data;
    QProcess m_process;
    quint16 m_port = 0;
};

// What the program prints when started; empty when it cannot be started.
QString startProgram(const QString &program)
{
    QProcess run;
    run.start(program, {});
    if (!run.waitForFinished(5000) || run.exitCode() != 0)
        return {};
    return QString::fromLatin1(run.readAllStandardOutput()).trimmed();
}

} // namespace

// SIGKILL at any moment of an update, from the first request to the
// installer's own work, never leaves the folder without a startable program
// under its own name: the old one or the one the installer put there.
TEST(UpdateKill, aKillAtAnyMomentLeavesAStartableProgram)
{
    QTemporaryDir release;
    // The installer puts the new program in place by a rename, as an
    // installer must; 8 MB of padding make the download take a while.
    QByteArray installer = "#!/bin/sh\n"
                           "dir=$(dirname \"$0\")\n"
                           "printf '#!/bin/sh\\necho new\\n' > \"$dir/.tarvlesolo.new\" && chmod +x \"$dir/.tarvlesolo.new\" "
                           "&& mv -f \"$dir/.tarvlesolo.new\" \"$dir/tarvlesolo\"\n"
                           "exit 0\n";
    installer += QByteArray(8 * 1024 * 1024, '#');
    const QString installerPath = release.filePath("setup.sh");
    ASSERT_TRUE(writeFile(installerPath, installer));
    ASSERT_TRUE(writeFile(installerPath + ".sig", Signature::sign(installer, readFile(TARVLE_DEV_KEY)) + '\n'));
    Service service(installerPath);

    const auto prepare = [](const QTemporaryDir &folder) {
        const QString program = QDir(folder.path()).filePath("tarvlesolo");
        EXPECT_TRUE(writeFile(program, "#!/bin/sh\necho old\n"));
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
        return program;
    };

    // One whole update first, to know how long one takes.
    qint64 wholeMs = 0;
    {
        QTemporaryDir folder;
        const QString program = prepare(folder);
        QElapsedTimer clock;
        clock.start();
        QProcess driver;
        driver.start(QStringLiteral(TARVLE_UPDATE_DRIVER), {program, folder.path(), service.base()});
        ASSERT_TRUE(driver.waitForFinished(30000));
        wholeMs = clock.elapsed();
        ASSERT_EQ(driver.exitCode(), 0) << driver.readAllStandardError().constData();
        for (int i = 0; i < 100 && startProgram(program) != "new"; ++i)
            QThread::msleep(20);
        EXPECT_EQ(startProgram(program), "new");
    }

    QRandomGenerator random(20261208);
    int old = 0, updated = 0;
    for (int run = 0; run < 40; ++run) {
        QTemporaryDir folder;
        const QString program = prepare(folder);
        const int killAfter = int(random.bounded(qint64(wholeMs + 50)));
        SCOPED_TRACE(QStringLiteral("run %1, killed after %2 ms").arg(run).arg(killAfter).toStdString());
        QProcess driver;
        driver.start(QStringLiteral(TARVLE_UPDATE_DRIVER), {program, folder.path(), service.base()});
        ASSERT_TRUE(driver.waitForStarted());
        QThread::msleep(killAfter);
        ::kill(pid_t(driver.processId()), SIGKILL);
        driver.waitForFinished(5000);
        // An installer already started goes on alone; give it time to end.
        QThread::msleep(150);

        ASSERT_TRUE(QFileInfo(program).isFile());
        const QString started = startProgram(program);
        EXPECT_TRUE(started == "old" || started == "new") << started.toStdString();
        (started == "new" ? updated : old) += 1;
    }
    // Both ends were reached: some kills came before the installer ran.
    EXPECT_GT(old, 0);
    std::printf("a whole update: %lld ms; kills: %d left the old program, %d the new one\n", qint64(wholeMs), old, updated);
}
