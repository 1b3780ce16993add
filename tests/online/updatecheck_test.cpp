#include "filesizelimit.h"
#include "httptestserver.h"
#include "signature.h"
#include "updatecheck.h"
#include "wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include "testfiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

constexpr auto VersionPath = "/tarvlesolo/tarvlesoloversion.txt";
constexpr auto SetupPath = "/tarvlesolo/trvsetup.exe";
constexpr auto SignaturePath = "/tarvlesolo/trvsetup.exe.sig";

QByteArray signatureOf(const QByteArray &installer)
{
    return Signature::sign(installer, readFile(QStringLiteral(TARVLE_DEV_KEY))) + '\n';
}

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
        serveSigned(script);
        return record;
    }

    void serveSigned(const QByteArray &installer)
    {
        server.setRoute(SetupPath, {200, installer, {}});
        server.setRoute(SignaturePath, {200, signatureOf(installer), {}});
    }

    // What a failed update must leave: nothing started, the program under
    // its own name, and no part of an installer anywhere.
    void expectNothingInstalled(const QString &record = {})
    {
        EXPECT_EQ(exits, 0);
        EXPECT_EQ(readFile(program), "old program");
        EXPECT_FALSE(QFile::exists(path("trvsetup.exe")));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(program).fileName()});
        EXPECT_FALSE(check.downloading());
        if (!record.isEmpty()) {
            QThread::msleep(200);
            EXPECT_FALSE(QFile::exists(record));
        }
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

// Waits until the update has ended one way or another.
bool settled(Fixture &f)
{
    return waitUntil([&] { return !f.check.downloading(); });
}

// UPDATE: 512 bytes received and verified, the program given its backup name
// (keeping its own), the installer started with the silent arguments, then
// the process would end.
TEST(UpdateCheck, acceptDownloadsVerifiesAndStartsInstaller)
{
    Fixture f;
    const QString record = f.serveRecordingInstaller();
    f.check.accept();
    EXPECT_EQ(f.hides, 1);
    ASSERT_TRUE(settled(f));
    EXPECT_EQ(f.statuses, (QStringList{"Updating. Please Wait...", "Received 512 bytes", "Installing"}));
    EXPECT_EQ(f.exits, 1);
    EXPECT_TRUE(f.failures.isEmpty());
    EXPECT_EQ(readFile(f.program), "old program");
    EXPECT_EQ(readFile(f.path("game.BAK")), "old program");
    EXPECT_EQ(QFileInfo(f.path("trvsetup.exe")).size(), 512);
    ASSERT_TRUE(waitUntil([&] { return readFile(record).endsWith('\n'); }));
    EXPECT_EQ(readFile(record), "/SP- /silent /noicons\n");
}

// A program file without extension gets ".BAK" appended; an older backup
// and an older installer are replaced.
TEST(UpdateCheck, acceptReplacesOldBackupAndInstaller)
{
    Fixture f(QStringLiteral("tarvlesolo"));
    ASSERT_TRUE(writeFile(f.path("tarvlesolo.BAK"), "older backup"));
    // A part a killed update left behind goes too.
    ASSERT_TRUE(writeFile(f.path(".trvsetup.exe.AbC123"), "part"));
    ASSERT_TRUE(writeFile(f.path("trvsetup.exe"), QByteArray(2000, 'x')));
    const QString record = f.serveRecordingInstaller();
    f.check.accept();
    ASSERT_TRUE(settled(f));
    EXPECT_EQ(f.exits, 1);
    EXPECT_TRUE(waitUntil([&] { return readFile(record).endsWith('\n'); }));
    EXPECT_EQ(readFile(f.path("tarvlesolo.BAK")), "old program");
    EXPECT_EQ(QFileInfo(f.path("trvsetup.exe")).size(), 512);
    EXPECT_FALSE(QFile::exists(f.path(".trvsetup.exe.AbC123")));
}

// Every transfer that is not whole ends in "Download Aborted" with nothing
// installed: an error status, no service, a body cut short with and without
// a length, a stall or a trickle past the deadline, a body beyond the limit.
TEST(UpdateCheck, incompleteDownloadsInstallNothing)
{
    const QByteArray installer = QByteArray(349, '#');
    const struct {
        const char *what;
        HttpTestServer::Route route;
    } cases[] = {
        {"error status", {404, "no", {}}},
        {"cut with length", {200, installer, {}, 100}},
        {"stall", {200, installer, {}, 100, true}},
        {"trickle", {200, installer, {}, -1, false, true, false, 20}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.check.setDeadline(800);
        f.serveSigned(installer);
        f.server.setRoute(SetupPath, c.route);
        f.check.accept();
        ASSERT_TRUE(settled(f));
        EXPECT_EQ(f.statuses.value(1), "Download Aborted");
        EXPECT_EQ(f.statuses.size(), 2);
        f.expectNothingInstalled();
    }

    Fixture unreachable;
    unreachable.check.setServiceBase(QStringLiteral("http://127.0.0.1:%1").arg(HttpTestServer::refusedPort()));
    unreachable.check.accept();
    ASSERT_TRUE(settled(unreachable));
    EXPECT_EQ(unreachable.statuses.value(1), "Download Aborted");
    unreachable.expectNothingInstalled();
}

// A body cut short without a length may read as whole (the connection's end
// is its end, and a chunked body's missing last chunk passes as well): its
// signature is what refuses it.
TEST(UpdateCheck, cutBodyWithoutLengthFailsItsSignature)
{
    Fixture f;
    const QString record = f.path("ran.txt");
    QByteArray installer = "#!/bin/sh\ntouch '" + record.toUtf8() + "'\n";
    installer.append(QByteArray(349 - installer.size(), '#'));
    f.serveSigned(installer);
    f.server.setRoute(SetupPath, {200, installer, {}, 100, false, false});
    f.check.accept();
    ASSERT_TRUE(settled(f));
    EXPECT_EQ(f.statuses, (QStringList{"Updating. Please Wait...", "Received 100 bytes", "Wrong signature: not installed"}));
    f.expectNothingInstalled(record);

    Fixture chunked;
    chunked.serveSigned(installer);
    chunked.server.setRoute(SetupPath, {200, installer, {}, 100, false, true, true});
    chunked.check.accept();
    ASSERT_TRUE(settled(chunked));
    EXPECT_TRUE(chunked.statuses.last() == "Download Aborted" || chunked.statuses.last() == "Wrong signature: not installed")
        << chunked.statuses.join(" | ").toStdString();
    chunked.expectNothingInstalled(record);
}

// A full disk: the writes that fail end it, and the part is removed.
TEST(UpdateCheck, fullDiskInstallsNothing)
{
    Fixture f;
    f.serveSigned(QByteArray(200000, '#'));
    bool ended = false;
    {
        FileSizeLimit limit(50000);
        ASSERT_TRUE(limit.ok());
        f.check.accept();
        ended = settled(f);
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(f.statuses.value(1), "Download Aborted");
    f.expectNothingInstalled();
}

// An installer whose signature is missing, malformed or made by another key
// (or of other bytes) is never started; the panel says why in one line.
TEST(UpdateCheck, unsignedInstallersNeverRun)
{
    QTemporaryDir keys;
    const QString otherKey = keys.filePath("other.pem");
    ASSERT_EQ(QProcess::execute("openssl", {"genpkey", "-algorithm", "ed25519", "-out", otherKey}), 0);

    const struct {
        const char *what;
        std::function<QByteArray(const QByteArray &)> signature; // empty: none served
        const char *status;
    } cases[] = {
        {"missing", {}, "No signature: not installed"},
        {"not base64", [](const QByteArray &) { return QByteArray("not a signature at all!\n"); },
         "Unreadable signature: not installed"},
        {"too short", [](const QByteArray &i) { return signatureOf(i).left(40) + '\n'; },
         "Unreadable signature: not installed"},
        {"two lines", [](const QByteArray &i) { return signatureOf(i) + signatureOf(i); },
         "Unreadable signature: not installed"},
        {"other key", [&](const QByteArray &i) { return Signature::sign(i, readFile(otherKey)) + '\n'; },
         "Wrong signature: not installed"},
        {"other bytes", [](const QByteArray &i) { return signatureOf(i + ' '); }, "Wrong signature: not installed"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        const QString record = f.path("ran.txt");
        QByteArray installer = "#!/bin/sh\ntouch '" + record.toUtf8() + "'\n";
        f.server.setRoute(SetupPath, {200, installer, {}});
        if (c.signature)
            f.server.setRoute(SignaturePath, {200, c.signature(installer), {}});
        f.check.accept();
        ASSERT_TRUE(settled(f));
        EXPECT_EQ(f.statuses.value(2), QString::fromLatin1(c.status));
        EXPECT_TRUE(f.failures.isEmpty());
        f.expectNothingInstalled(record);
    }
}

// abort() during a stalled transfer ends it: nothing starts, no part stays.
TEST(UpdateCheck, abortDuringAStallInstallsNothing)
{
    Fixture f;
    f.serveSigned(QByteArray(349, '#'));
    f.server.setRoute(SetupPath, {200, QByteArray(349, '#'), {}, 100, true});
    QList<qint64> progress;
    QObject::connect(&f.check, &UpdateCheck::progressChanged, &f.check,
                     [&](qint64 received, qint64 total) { progress << received << total; });
    f.check.accept();
    ASSERT_TRUE(waitUntil([&] { return progress.size() >= 2 && progress[progress.size() - 2] == 100; }));
    EXPECT_EQ(progress.last(), 349);
    EXPECT_TRUE(f.check.downloading());
    f.check.abort();
    EXPECT_EQ(f.statuses.last(), "Download Aborted");
    f.expectNothingInstalled();
}

// An installer the system cannot run: the error message, and the program as it was.
TEST(UpdateCheck, installerThatCannotStartFails)
{
    Fixture f;
    f.serveSigned(QByteArray(512, '\x01'));
    f.check.accept();
    ASSERT_TRUE(settled(f));
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
    EXPECT_FALSE(check.downloading());
}

// A program left only under its backup name gets its own name back; one
// that is there is left alone.
TEST(UpdateCheck, aLeftBackupIsRestored)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("tarvlesolo");
    ASSERT_TRUE(writeFile(program + ".BAK", "the program"));
    EXPECT_TRUE(UpdateCheck::restoreLeftBackup(program));
    EXPECT_EQ(readFile(program), "the program");
    EXPECT_FALSE(QFile::exists(program + ".BAK"));
    ASSERT_TRUE(writeFile(program + ".BAK", "older"));
    EXPECT_FALSE(UpdateCheck::restoreLeftBackup(program));
    EXPECT_EQ(readFile(program), "the program");
}
