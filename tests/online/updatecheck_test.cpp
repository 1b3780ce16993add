#include "httptestserver.h"
#include "updatecheck.h"
#include "wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include "testfiles.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr auto VersionPath = "/tarvlesolo/tarvlesoloversion.txt";
constexpr auto SetupPath = "/tarvlesolo/trvsetup.exe";

// A program folder with a dummy program file, a check wired to record
// everything it reports, and a test server as the service.
struct Fixture
{
    QTemporaryDir dir;
    HttpTestServer server;
    QString program;
    UpdateCheck check;
    QStringList statuses;
    QStringList failures;
    int offers = 0;
    int withdrawals = 0;
    int hides = 0;
    int exits = 0;

    explicit Fixture(const QString &programName = QStringLiteral("game.exe"))
        : program(dir.path() + "/" + programName)
        , check(program, dir.path(), [] { return QStringLiteral("1.0.0"); })
    {
        EXPECT_TRUE(writeFile(program, "old program"));
        check.setServiceBase(server.base());
        check.setExit([this] { ++exits; });
        QObject::connect(&check, &UpdateCheck::offered, &check, [this] { ++offers; });
        QObject::connect(&check, &UpdateCheck::withdrawn, &check, [this] { ++withdrawals; });
        QObject::connect(&check, &UpdateCheck::buttonsHidden, &check, [this] { ++hides; });
        QObject::connect(&check, &UpdateCheck::statusChanged, &check, [this](const QString &s) { statuses << s; });
        QObject::connect(&check, &UpdateCheck::failed, &check, [this](const QString &m) { failures << m; });
    }

    QString path(const QString &name) const { return dir.path() + "/" + name; }

    // Serves a shell script that records its arguments, padded to 512 bytes.
    QString serveRecordingInstaller()
    {
        const QString record = path("args.txt");
        QByteArray script = "#!/bin/sh\necho \"$@\" > '" + record.toUtf8() + "'\n";
        script.append(QByteArray(512 - script.size(), '#'));
        server.setRoute(SetupPath, {200, script, {}});
        return record;
    }
};

} // namespace

// Only a reply equal to the version text, byte for byte, offers nothing.
TEST(UpdateCheck, comparesExactly)
{
    Fixture f;
    f.check.checkupdateDoneString("1.0.0");
    EXPECT_EQ(f.offers, 0);
    f.check.checkupdateDoneString("1.0.1");
    EXPECT_EQ(f.offers, 1);
    f.check.checkupdateDoneString("1.0.0\n");
    EXPECT_EQ(f.offers, 2);
    f.check.checkupdateDoneString("0.9");
    EXPECT_EQ(f.offers, 3);
}

// The check fetches the version file from the service and offers on a difference.
TEST(UpdateCheck, startFetchesVersionFile)
{
    for (const QByteArray &served : {QByteArray("1.0.1"), QByteArray("1.0.0\n"), QByteArray("0.9")}) {
        Fixture f;
        f.server.setRoute(VersionPath, {200, served, {}});
        f.check.start();
        EXPECT_TRUE(waitUntil([&] { return f.offers == 1; })) << served.constData();
    }
}

// An equal version served offers nothing; a later differing one still offers,
// so the first answer was handled and found equal.
TEST(UpdateCheck, sameVersionServedOffersNothing)
{
    Fixture f;
    f.server.setRoute(VersionPath, {200, "1.0.0", {}});
    f.check.start();
    ASSERT_TRUE(waitUntil([&] { return f.server.requestCount() == 1; }));
    f.server.setRoute(VersionPath, {200, "1.0.1", {}});
    // A second fetch can only begin once the first has been handled.
    ASSERT_TRUE(waitUntil([&] {
        if (f.server.requestCount() < 2)
            f.check.start();
        return f.offers == 1;
    }));
    EXPECT_EQ(f.offers, 1);
    EXPECT_EQ(f.server.requestCount(), 2);
}

// CANCEL only withdraws the offer.
TEST(UpdateCheck, cancelWithdraws)
{
    Fixture f;
    f.check.cancel();
    EXPECT_EQ(f.withdrawals, 1);
    EXPECT_EQ(f.hides, 0);
    EXPECT_TRUE(f.statuses.isEmpty());
    EXPECT_TRUE(QFile::exists(f.program));
}

// The extension becomes ".BAK"; a name without one gets ".BAK" appended.
TEST(UpdateCheck, backupName)
{
    EXPECT_EQ(UpdateCheck::backupName("/opt/tarvle/game.exe"), "/opt/tarvle/game.BAK");
    EXPECT_EQ(UpdateCheck::backupName("/opt/tarvle/game"), "/opt/tarvle/game.BAK");
    EXPECT_EQ(UpdateCheck::backupName("/opt/v1.2/game"), "/opt/v1.2/game.BAK");
    EXPECT_EQ(UpdateCheck::backupName("/opt/a.b.exe"), "/opt/a.b.BAK");
}

// UPDATE: program moved aside, 512 bytes received, installer started with
// the silent arguments, then the process would end.
TEST(UpdateCheck, acceptDownloadsAndStartsInstaller)
{
    Fixture f;
    const QString record = f.serveRecordingInstaller();
    f.check.accept();
    EXPECT_EQ(f.hides, 1);
    EXPECT_EQ(f.statuses, (QStringList{"Updating. Please Wait...", "Received 512 bytes", "Installing"}));
    EXPECT_EQ(f.exits, 1);
    EXPECT_TRUE(f.failures.isEmpty());
    EXPECT_FALSE(QFile::exists(f.program));
    EXPECT_EQ(readFile(f.path("game.BAK")), "old program");
    EXPECT_EQ(QFileInfo(f.path("trvsetup.exe")).size(), 512);
    ASSERT_TRUE(waitUntil([&] { return readFile(record).endsWith('\n'); }));
    EXPECT_EQ(readFile(record), "/SP- /silent /noicons\n");
}

// A program file without extension is moved to its name plus ".BAK".
TEST(UpdateCheck, acceptWithoutExtension)
{
    Fixture f(QStringLiteral("tarvlesolo"));
    const QString record = f.serveRecordingInstaller();
    f.check.accept();
    EXPECT_EQ(f.exits, 1);
    EXPECT_TRUE(waitUntil([&] { return readFile(record).endsWith('\n'); }));
    EXPECT_FALSE(QFile::exists(f.program));
    EXPECT_EQ(readFile(f.path("tarvlesolo.BAK")), "old program");
}

// A backup from an earlier update is deleted before the rename.
TEST(UpdateCheck, acceptReplacesOldBackup)
{
    Fixture f;
    ASSERT_TRUE(writeFile(f.path("game.BAK"), "older backup"));
    const QString record = f.serveRecordingInstaller();
    f.check.accept();
    EXPECT_EQ(f.exits, 1);
    EXPECT_TRUE(waitUntil([&] { return readFile(record).endsWith('\n'); }));
    EXPECT_EQ(readFile(f.path("game.BAK")), "old program");
}

// An existing installer file is replaced, not appended to.
TEST(UpdateCheck, acceptReplacesOldInstaller)
{
    Fixture f;
    ASSERT_TRUE(writeFile(f.path("trvsetup.exe"), QByteArray(2000, 'x')));
    const QString record = f.serveRecordingInstaller();
    f.check.accept();
    EXPECT_EQ(f.statuses.value(1), "Received 512 bytes");
    EXPECT_EQ(QFileInfo(f.path("trvsetup.exe")).size(), 512);
    EXPECT_TRUE(waitUntil([&] { return readFile(record).endsWith('\n'); }));
}

// A failed download aborts, and the program file gets its own name back.
TEST(UpdateCheck, failedDownloadAbortsAndRestores)
{
    Fixture f;
    f.check.accept();
    EXPECT_EQ(f.statuses, (QStringList{"Updating. Please Wait...", "Download Aborted"}));
    EXPECT_EQ(f.exits, 0);
    EXPECT_TRUE(f.failures.isEmpty());
    EXPECT_EQ(readFile(f.program), "old program");
    EXPECT_FALSE(QFile::exists(f.path("game.BAK")));
}

// A service that is not there aborts the same way.
TEST(UpdateCheck, unreachableServiceAborts)
{
    Fixture f;
    f.check.setServiceBase(QStringLiteral("http://127.0.0.1:%1").arg(HttpTestServer::refusedPort()));
    f.check.accept();
    EXPECT_EQ(f.statuses.value(1), "Download Aborted");
    EXPECT_EQ(readFile(f.program), "old program");
}

// An installer the system cannot run: the error message, the program name back.
TEST(UpdateCheck, installerThatCannotStartFails)
{
    Fixture f;
    f.server.setRoute(SetupPath, {200, QByteArray(512, '\x01'), {}});
    f.check.accept();
    EXPECT_EQ(f.statuses, (QStringList{"Updating. Please Wait...", "Received 512 bytes", "Installing"}));
    EXPECT_EQ(f.exits, 0);
    ASSERT_EQ(f.failures.size(), 1);
    EXPECT_EQ(f.failures[0], "There was an error in the update process. Please download TARVLESOLO manually from "
                                 + f.server.base() + "/.");
    EXPECT_EQ(readFile(f.program), "old program");
}

// A folder where the installer cannot be created: the error names the file,
// nothing is downloaded and the status stays.
TEST(UpdateCheck, installerFileCannotBeCreated)
{
    QTemporaryDir elsewhere;
    const QString program = elsewhere.path() + "/game.exe";
    ASSERT_TRUE(writeFile(program, "old program"));
    const QString folder = elsewhere.path() + "/missing";
    UpdateCheck check(program, folder, [] { return QStringLiteral("1.0.0"); });
    HttpTestServer server;
    check.setServiceBase(server.base());
    QStringList statuses;
    QObject::connect(&check, &UpdateCheck::statusChanged, &check, [&](const QString &s) { statuses << s; });
    try {
        check.accept();
        FAIL() << "no error";
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromStdString(e.what()), "Cannot create file " + folder + "/trvsetup.exe");
    }
    EXPECT_EQ(statuses, QStringList{"Updating. Please Wait..."});
    EXPECT_EQ(server.requestCount(), 0);
}
