#include "testfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

bool setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

// Stands in for a program the in-game updater wrote: it notes where it was
// started and with what, and ends.
const QByteArray UpdatedProgram = "#!/bin/sh\nprintf '%s\\n' \"$PWD\" \"$@\" > started-here\n";

// The build installed once into a temporary prefix for the whole suite.
class Install : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_prefix = std::make_unique<QTemporaryDir>();
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        QStringList arguments{"--install", QStringLiteral(CMAKE_BINARY_DIR), "--prefix", s_prefix->path()};
        if (!QStringLiteral(TARVLE_CONFIG).isEmpty())
            arguments << "--config" << QStringLiteral(TARVLE_CONFIG);
        cmake.start(QStringLiteral(CMAKE_COMMAND), arguments);
        const bool finished = cmake.waitForFinished(120000);
        s_installLog = cmake.readAll();
        s_installed = finished && cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
    }

    static void TearDownTestSuite() { s_prefix.reset(); }

    void SetUp() override { ASSERT_TRUE(s_installed) << s_installLog.constData(); }

    static QString installed(const QString &name) { return QDir(s_prefix->path()).filePath(name); }
    static QString launcher() { return installed("bin/tarvlesolo"); }
    static QString program() { return installed("lib/tarvlesolo/tarvlesolo"); }

    // A player's home with nothing in it; the data folder under it is where
    // the launcher is told to keep the game's files.
    QString home() const { return QDir(m_player.path()).filePath("home"); }
    QString dataHome() const { return QDir(m_player.path()).filePath("data"); }
    QString playerFile(const QString &name) const { return QDir(dataHome()).filePath("tarvlesolo/" + name); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        QDir().mkpath(home());
        environment.insert("HOME", home());
        environment.insert("XDG_DATA_HOME", dataHome());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        return environment;
    }

    // Starts the launcher, waits until the game is up, closes it with
    // SIGTERM; succeeds when the game then ended normally with status 0.
    ::testing::AssertionResult runGame(const QString &launcherPath, const QString &englishFile)
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(m_player.path());
        process.start(launcherPath, {});
        if (!process.waitForStarted(10000))
            return ::testing::AssertionFailure() << "the launcher did not start";
        // The word list file is written in the working folder while the main
        // window is built.
        if (!waitForFile(englishFile, 30000))
            return ::testing::AssertionFailure() << qPrintable(englishFile) << " did not appear; the launcher said: "
                                                 << process.readAllStandardError().constData();
        QThread::msleep(300);
        // The launcher hands its process over to the game, so this reaches it.
        if (::kill(pid_t(process.processId()), SIGTERM) != 0 || !process.waitForFinished(20000))
            return ::testing::AssertionFailure() << "the game did not end on SIGTERM";
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return ::testing::AssertionFailure() << "the game ended with status " << process.exitCode() << ": "
                                                 << process.readAllStandardError().constData();
        return ::testing::AssertionSuccess();
    }

    struct Result {
        bool finished = false;
        QProcess::ExitStatus status = QProcess::CrashExit;
        int code = -1;
        QByteArray out;
        QByteArray err;
    };

    // Runs the launcher to its end, for the runs that should not start the game.
    Result runToEnd(const QString &launcherPath, const QProcessEnvironment &environment,
                    const QStringList &arguments = {})
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_player.path());
        process.start(launcherPath, arguments);
        Result result;
        result.finished = process.waitForFinished(30000);
        if (!result.finished) {
            process.kill();
            process.waitForFinished();
        }
        result.status = process.exitStatus();
        result.code = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    // A launcher that could not go on: ended by itself with a non-zero
    // status and said why in one line, without starting anything.
    static void expectClearFailure(const Result &result, const char *about)
    {
        EXPECT_TRUE(result.finished);
        EXPECT_EQ(result.status, QProcess::NormalExit);
        EXPECT_NE(result.code, 0);
        EXPECT_TRUE(result.out.isEmpty()) << result.out.constData();
        EXPECT_TRUE(result.err.startsWith("tarvlesolo: ")) << result.err.constData();
        EXPECT_TRUE(result.err.contains(about)) << result.err.constData();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    }

    static inline std::unique_ptr<QTemporaryDir> s_prefix;
    static inline bool s_installed = false;
    static inline QByteArray s_installLog;

    QTemporaryDir m_player;
};

} // namespace

// The game itself goes to a folder of its own, a launcher takes its name in
// bin/, and the service host and the tool sit beside it and run from there.
TEST_F(Install, putsTheProgramsInPlace)
{
    const QFileInfo game(program());
    ASSERT_TRUE(game.isFile());
    EXPECT_TRUE(game.isExecutable());
    EXPECT_TRUE(readFile(program()).startsWith("\x7f" "ELF"));
    // Nothing else: whatever the game writes must not land in the shared folder.
    EXPECT_EQ(QDir(installed("lib/tarvlesolo")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"tarvlesolo"});

    const QFileInfo script(launcher());
    ASSERT_TRUE(script.isFile());
    EXPECT_TRUE(script.isExecutable());
    EXPECT_TRUE(readFile(launcher()).startsWith("#!/bin/sh\n"));

    QProcess tool;
    tool.start(installed("bin/tarvle-tool"), {"lookup", "letter", "qzxv"});
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 0);
    EXPECT_EQ(tool.readAllStandardOutput(), QByteArray("letter yes\nqzxv no\n"));

    QProcess service;
    service.start(installed("bin/tarvlesolo-service"), {"--help"});
    ASSERT_TRUE(service.waitForFinished(30000));
    EXPECT_EQ(service.exitCode(), 0);
    EXPECT_TRUE(service.readAllStandardOutput().contains("--port"));
}

// The icon theme gets the icon at each size it is listed under, drawn and not
// blank.
TEST_F(Install, iconsArePngsOfTheirSize)
{
    for (int size : {32, 64, 128}) {
        SCOPED_TRACE(size);
        const QString file = installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/tarvlesolo.png").arg(size));
        ASSERT_TRUE(readFile(file).startsWith("\x89PNG\r\n\x1a\n"));
        const QImage image(file, "png");
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(size, size));
        // The tile is cream and the frame red: a blank or one-colour picture
        // means the painting failed.
        const QRgb middle = image.pixel(size / 2, size / 2);
        EXPECT_GT(qAlpha(middle), 0);
        bool varied = false;
        for (int y = 0; y < size && !varied; ++y)
            for (int x = 0; x < size && !varied; ++x)
                varied = image.pixel(x, y) != middle;
        EXPECT_TRUE(varied);
    }
}

// The menu entry runs the launcher by its name in bin/ and shows the
// installed icon.
TEST_F(Install, desktopEntryNamesTheLauncherAndIcon)
{
    QFile file(installed("share/applications/tarvlesolo.desktop"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QMap<QString, QString> keys;
    QString group;
    QStringList groups;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            group = line.mid(1, line.size() - 2);
            groups << group;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        ASSERT_GT(equals, 0) << qPrintable(line);
        if (group == "Desktop Entry") {
            const QString key = line.left(equals).trimmed();
            EXPECT_FALSE(keys.contains(key)) << "repeated key " << qPrintable(key);
            keys.insert(key, line.mid(equals + 1).trimmed());
        }
    }
    ASSERT_FALSE(groups.isEmpty());
    EXPECT_EQ(groups.first(), "Desktop Entry");

    EXPECT_EQ(keys.value("Type"), "Application");
    EXPECT_EQ(keys.value("Name"), "Tarvle Solo");
    EXPECT_EQ(keys.value("GenericName"), "Word Game");
    EXPECT_FALSE(keys.value("Comment").isEmpty());
    EXPECT_EQ(keys.value("Terminal"), "false");
    EXPECT_EQ(keys.value("Categories"), "Game;LogicGame;");

    const QString command = keys.value("Exec").section(' ', 0, 0);
    ASSERT_FALSE(command.isEmpty());
    EXPECT_FALSE(command.contains('/'));
    EXPECT_EQ(installed("bin/" + command), launcher());

    const QString icon = keys.value("Icon");
    ASSERT_FALSE(icon.isEmpty());
    EXPECT_FALSE(icon.contains('/'));
    for (int size : {32, 64, 128})
        EXPECT_TRUE(QFile::exists(installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon))))
            << size;
}

// The first start copies the program into the player's data folder and runs
// it there, so the settings land there; closing removes the word list file.
TEST_F(Install, launcherRunsThePlayersOwnCopy)
{
    ASSERT_TRUE(runGame(launcher(), playerFile("English")));

    EXPECT_EQ(readFile(playerFile("tarvlesolo")), readFile(program()));
    EXPECT_TRUE(QFileInfo(playerFile("tarvlesolo")).isExecutable());
    EXPECT_TRUE(readFile(playerFile("tarvlesolo.ini")).startsWith("[tarvlesolo]\n"));
    EXPECT_TRUE(QFile::exists(playerFile("tarvlesolotally.tld")));
    EXPECT_FALSE(QFile::exists(playerFile("English")));
    // No half-made copy left behind.
    EXPECT_EQ(QDir(playerFile("")).entryList({".tarvlesolo.*"}, QDir::Files | QDir::Hidden), QStringList());
    // The installed folder and the starting folder are untouched.
    EXPECT_EQ(QDir(installed("lib/tarvlesolo")).entryList(QDir::Files | QDir::Hidden), QStringList{"tarvlesolo"});
    EXPECT_FALSE(QFile::exists(QDir(m_player.path()).filePath("English")));
    EXPECT_FALSE(QFile::exists(QDir(m_player.path()).filePath("tarvlesolo.ini")));
}

// A copy newer than the installed program came from the in-game updater and
// is started as it is, in its folder, with the launcher's arguments. Without
// XDG_DATA_HOME the folder is under ~/.local/share, and a link to the
// launcher works as the launcher does.
TEST_F(Install, launcherKeepsANewerCopy)
{
    QProcessEnvironment environment = this->environment();
    environment.remove("XDG_DATA_HOME");
    const QDir folder(home() + "/.local/share/tarvlesolo");
    ASSERT_TRUE(folder.mkpath("."));
    const QString copy = folder.filePath("tarvlesolo");
    ASSERT_TRUE(writeFile(copy, UpdatedProgram));
    ASSERT_TRUE(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ASSERT_TRUE(setModified(copy, QFileInfo(program()).lastModified().addSecs(3600)));

    const QString link = QDir(m_player.path()).filePath("start-game");
    ASSERT_TRUE(QFile::link(launcher(), link));
    const Result result = runToEnd(link, environment, {"--first", "two words"});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.status, QProcess::NormalExit);
    EXPECT_EQ(result.code, 0) << result.err.constData();

    EXPECT_EQ(readFile(copy), UpdatedProgram);
    EXPECT_EQ(readFile(folder.filePath("started-here")),
              (folder.absolutePath() + "\n--first\ntwo words\n").toUtf8());
}

// A copy an interrupted update left only under its backup name gets its
// name back and is started, rather than replaced by the installed one.
TEST_F(Install, launcherRestoresALeftBackup)
{
    ASSERT_TRUE(QDir().mkpath(playerFile("")));
    const QString backup = playerFile("tarvlesolo.BAK");
    ASSERT_TRUE(writeFile(backup, UpdatedProgram));
    ASSERT_TRUE(QFile::setPermissions(backup, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ASSERT_TRUE(setModified(backup, QFileInfo(program()).lastModified().addSecs(3600)));

    const Result result = runToEnd(launcher(), environment(), {});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.code, 0) << result.err.constData();
    EXPECT_EQ(readFile(playerFile("tarvlesolo")), UpdatedProgram);
    EXPECT_FALSE(QFile::exists(backup));
    EXPECT_TRUE(QFile::exists(playerFile("started-here")));
}

// An installed program newer than the player's copy replaces it.
TEST_F(Install, newerInstalledProgramReplacesTheCopy)
{
    ASSERT_TRUE(QDir().mkpath(playerFile("")));
    const QString copy = playerFile("tarvlesolo");
    ASSERT_TRUE(writeFile(copy, UpdatedProgram));
    ASSERT_TRUE(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ASSERT_TRUE(setModified(copy, QFileInfo(program()).lastModified().addDays(-1)));

    ASSERT_TRUE(runGame(launcher(), playerFile("English")));
    EXPECT_EQ(readFile(copy), readFile(program()));
    EXPECT_FALSE(QFile::exists(playerFile("started-here")));
    EXPECT_TRUE(QFile::exists(playerFile("tarvlesolo.ini")));
}

// With nowhere to keep the game's files, the launcher says so and stops.
TEST_F(Install, launcherFailsClearlyWithoutAPlace)
{
    {
        SCOPED_TRACE("no HOME");
        QProcessEnvironment environment = this->environment();
        environment.remove("HOME");
        environment.remove("XDG_DATA_HOME");
        expectClearFailure(runToEnd(launcher(), environment), "HOME");
    }
    {
        SCOPED_TRACE("data folder under a plain file");
        const QString file = QDir(m_player.path()).filePath("plain-file");
        ASSERT_TRUE(writeFile(file, "not a folder\n"));
        QProcessEnvironment environment = this->environment();
        environment.insert("XDG_DATA_HOME", file);
        expectClearFailure(runToEnd(launcher(), environment), "cannot create the folder");
    }
    {
        SCOPED_TRACE("read-only data folder");
        const QString folder = QDir(m_player.path()).filePath("read-only");
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        QProcessEnvironment environment = this->environment();
        environment.insert("XDG_DATA_HOME", folder);
        // The superuser writes anywhere; there is nothing to show then.
        const bool writable = writeFile(folder + "/probe", "x");
        if (!writable)
            expectClearFailure(runToEnd(launcher(), environment), "cannot create the folder");
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    {
        SCOPED_TRACE("read-only game folder");
        const QString folder = QDir(m_player.path()).filePath("locked");
        ASSERT_TRUE(QDir().mkpath(folder + "/tarvlesolo"));
        ASSERT_TRUE(QFile::setPermissions(folder + "/tarvlesolo", QFile::ReadOwner | QFile::ExeOwner));
        QProcessEnvironment environment = this->environment();
        environment.insert("XDG_DATA_HOME", folder);
        if (!writeFile(folder + "/tarvlesolo/probe", "x"))
            expectClearFailure(runToEnd(launcher(), environment), "cannot write to the folder");
        QFile::setPermissions(folder + "/tarvlesolo", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    {
        SCOPED_TRACE("launcher without its program");
        const QString bin = QDir(m_player.path()).filePath("bin");
        ASSERT_TRUE(QDir().mkpath(bin));
        ASSERT_TRUE(QFile::copy(launcher(), bin + "/tarvlesolo"));
        expectClearFailure(runToEnd(bin + "/tarvlesolo", environment()), "the program is missing");
    }
    EXPECT_FALSE(QFile::exists(QDir(m_player.path()).filePath("English")));
}
