#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMargins>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sys/prctl.h>

// The real program on a real X server (Xvfb), under openbox and under no
// window manager at all: where the window appears, how large its client area
// is, and what placement it saves. Geometry is read from outside with
// xwininfo and xprop, as any other client of the server sees it.

inline void PrintTo(const QRect &rect, std::ostream *out)
{
    *out << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}

namespace {

constexpr int Patience = 20000; // milliseconds for anything to happen
const QString MainTitle = QStringLiteral("^Tarvle Solo - Brenik Software$");

// Children die with the test, also when it is killed at its time-out.
void dieWithTheTest(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// Polls until the condition holds; false after the time given.
bool waitUntil(const std::function<bool()> &condition, int milliseconds = Patience)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QThread::msleep(50);
    }
    return true;
}

// An X server of its own on a free display, and optionally openbox on it.
class Desktop
{
public:
    explicit Desktop(bool windowManager)
    {
        dieWithTheTest(m_server);
        // -displayfd takes the first free display and prints its number once
        // the server accepts clients, so parallel tests never meet. -noreset:
        // a server that resets as its last client leaves (an xprop) refuses
        // the next one for a moment.
        m_server.start(QStringLiteral("Xvfb"),
                       {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
        QByteArray number;
        QElapsedTimer clock;
        clock.start();
        while (!number.contains('\n') && clock.elapsed() < Patience && m_server.state() != QProcess::NotRunning) {
            m_server.waitForReadyRead(200);
            number += m_server.readAllStandardOutput();
        }
        if (!number.contains('\n'))
            return;
        m_display = ":" + QString::fromLatin1(number.trimmed());
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert("DISPLAY", m_display);
        // Nothing of the user's desktop: no settings, no session, no scaling.
        m_environment.insert("HOME", m_home.path());
        for (const char *name : {"XDG_CONFIG_HOME", "SESSION_MANAGER", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                                 "QT_QPA_PLATFORMTHEME", "XAUTHORITY"})
            m_environment.remove(name);
        m_environment.insert("QT_QPA_PLATFORM", "xcb");
        if (!windowManager) {
            m_ready = true;
            return;
        }
        dieWithTheTest(m_windowManager);
        m_windowManager.setProcessEnvironment(m_environment);
        m_windowManager.start(QStringLiteral("openbox"), {"--sm-disable"});
        // Ready once it has announced itself on the root window.
        m_ready = waitUntil([this] {
            return run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id");
        });
    }

    ~Desktop()
    {
        stop(m_windowManager);
        stop(m_server);
    }

    bool ready() const { return m_ready; }
    QProcessEnvironment environment() const { return m_environment; }

    // Runs an X tool on this display; its standard output.
    QString run(const QString &program, const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(program, arguments);
        if (!process.waitForFinished(Patience))
            stop(process);
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    }

    // The client area of a window in root coordinates, as the X server has it.
    QRect clientArea(const QString &window) const
    {
        const QString info = run("xwininfo", {"-id", window});
        auto value = [&info](const char *label) {
            const QRegularExpression line(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(label)));
            return line.match(info).captured(1).toInt();
        };
        return QRect(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"));
    }

    // The frame the window manager put around a window, once it has.
    std::optional<QMargins> frameExtents(const QString &window) const
    {
        const QString text = run("xprop", {"-id", window, "_NET_FRAME_EXTENTS"});
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(text);
        if (!m.hasMatch())
            return std::nullopt;
        // The property lists left, right, top, bottom.
        return QMargins(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(2).toInt(), m.captured(4).toInt());
    }

    // The smallest size the window asks of the window manager.
    QSize minimumSize(const QString &window) const
    {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("minimum size: (\\d+) by (\\d+)"))
                                              .match(run("xprop", {"-id", window, "WM_NORMAL_HINTS"}));
        return QSize(m.captured(1).toInt(), m.captured(2).toInt());
    }

private:
    QProcess m_server;
    QProcess m_windowManager;
    QTemporaryDir m_home;
    QString m_display;
    QProcessEnvironment m_environment;
    bool m_ready = false;
};

// A copy of the program in a temporary folder, so that its settings file is
// that folder's tarvlesolo.ini, run on a desktop one start at a time.
class Program
{
public:
    explicit Program(const Desktop &desktop)
        : m_desktop(desktop)
        , m_dir(m_folder.path())
    {
        const QString program = m_dir.filePath("tarvlesolo");
        m_copied = QFile::copy(QStringLiteral(TARVLESOLO), program);
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    }

    ~Program()
    {
        if (m_process)
            stop(*m_process);
    }

    QString file(const QString &name) const { return m_dir.filePath(name); }

    // Starts the program and waits for its main window; the window's id,
    // empty when it did not appear.
    QString start()
    {
        if (!m_copied)
            return {};
        m_process = std::make_unique<QProcess>();
        dieWithTheTest(*m_process);
        m_process->setWorkingDirectory(m_folder.path());
        m_process->setProcessEnvironment(m_desktop.environment());
        m_process->start(file("tarvlesolo"), {});
        if (!m_process->waitForStarted(Patience))
            return {};
        const QString pid = QString::number(m_process->processId());
        const QString found = m_desktop.run(
            "xdotool", {"search", "--sync", "--onlyvisible", "--pid", pid, "--name", MainTitle});
        return found.section('\n', 0, 0).trimmed();
    }

    // Ends the run as SIGTERM does, which closes the window as its close box
    // does; true when the program then ended normally.
    bool terminate()
    {
        ::kill(pid_t(m_process->processId()), SIGTERM);
        return finished();
    }

    // Ends the run the player's way under openbox: Alt+F4 on the active
    // window, which the window manager turns into a close request.
    bool closeByWindowManager(const QString &window)
    {
        m_desktop.run("xdotool", {"windowactivate", "--sync", window});
        m_desktop.run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
        return finished();
    }

    // Left, top, width and height as saved in the settings file.
    QRect savedPlacement() const
    {
        const QString text = QString::fromUtf8(readFile(file("tarvlesolo.ini")));
        auto value = [&text](const char *key) {
            const QRegularExpression line(QStringLiteral("^%1=(-?\\d+)$").arg(QLatin1String(key)),
                                          QRegularExpression::MultilineOption);
            return line.match(text).captured(1).toInt();
        };
        return QRect(value("Left"), value("Top"), value("Width"), value("Height"));
    }

private:
    bool finished()
    {
        if (!m_process->waitForFinished(Patience))
            return false;
        return m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
    }

    const Desktop &m_desktop;
    QTemporaryDir m_folder;
    QDir m_dir;
    bool m_copied = false;
    std::unique_ptr<QProcess> m_process;
};

// Each test runs under openbox (true) and under no window manager (false).
class Placement : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        m_desktop = std::make_unique<Desktop>(GetParam());
        ASSERT_TRUE(m_desktop->ready()) << "Xvfb or openbox did not start (scripts/install-deps.sh installs them)";
        m_program = std::make_unique<Program>(*m_desktop);
    }

    void TearDown() override
    {
        m_program.reset();
        m_desktop.reset();
    }

    bool underWindowManager() const { return GetParam(); }

    // The frame of a shown window: what openbox reports once it has framed
    // it, none without a window manager.
    QMargins frameOf(const QString &window)
    {
        if (!underWindowManager())
            return {};
        std::optional<QMargins> frame;
        waitUntil([&] { return (frame = m_desktop->frameExtents(window)).has_value(); });
        EXPECT_TRUE(frame.has_value()) << "openbox never framed the window";
        return frame.value_or(QMargins());
    }

    // Waits for the client area to become what is expected (the program
    // places the window again once it knows its frame); the last one seen.
    QRect settledClientArea(const QString &window, const QRect &expected)
    {
        QRect seen;
        waitUntil([&] { return (seen = m_desktop->clientArea(window)) == expected; }, 5000);
        return seen;
    }

    void writeSettings(const QByteArray &text) { ASSERT_TRUE(writeFile(m_program->file("tarvlesolo.ini"), text)); }

    std::unique_ptr<Desktop> m_desktop;
    std::unique_ptr<Program> m_program;
};

} // namespace

// An unmoved, unresized window saves the placement it was given, so three
// starts in a row open the same outer frame: the client area is the stored
// outer size less the window manager's frame, at the stored left and top.
// Under openbox the runs end by its close (Alt+F4) and by SIGTERM in turn.
TEST_P(Placement, anUnmovedWindowKeepsItsPlacementOverThreeStarts)
{
    writeSettings("[tarvlesolo]\nTop=30\nLeft=40\nWidth=600\nHeight=620\nUpdate=false\n");
    const QRect stored(40, 30, 600, 620);
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        const QString window = m_program->start();
        ASSERT_FALSE(window.isEmpty()) << "no main window";
        const QMargins frame = frameOf(window);
        if (underWindowManager()) {
            EXPECT_GT(frame.top(), 0) << "openbox gives the window a title bar";
        }
        EXPECT_EQ(settledClientArea(window, stored.marginsRemoved(frame)), stored.marginsRemoved(frame));
        const bool ended = underWindowManager() && run == 1 ? m_program->closeByWindowManager(window)
                                                             : m_program->terminate();
        ASSERT_TRUE(ended);
        EXPECT_EQ(m_program->savedPlacement(), stored);
    }
}

// With no settings file the outer frame opens at 3,3 with 568 by 580, is
// saved so, and the next start opens it there again.
TEST_P(Placement, aFirstStartOpensAtTheDefaultPlacement)
{
    const QRect defaults(3, 3, 568, 580);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const QString window = m_program->start();
        ASSERT_FALSE(window.isEmpty()) << "no main window";
        const QMargins frame = frameOf(window);
        EXPECT_EQ(settledClientArea(window, defaults.marginsRemoved(frame)), defaults.marginsRemoved(frame));
        ASSERT_TRUE(m_program->terminate());
        EXPECT_EQ(m_program->savedPlacement(), defaults);
    }
}

// A stored size below the minimum opens at the smallest size at once, at the
// stored place: a client area 561 wide and as high as 535 plus the menu bar.
TEST_P(Placement, aStoredSizeBelowTheMinimumIsEnlargedAtOnce)
{
    writeSettings("[tarvlesolo]\nTop=10\nLeft=20\nWidth=300\nHeight=200\nUpdate=false\n");
    const QString window = m_program->start();
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    const QSize least = m_desktop->minimumSize(window);
    EXPECT_EQ(least.width(), 561);
    EXPECT_GT(least.height(), 535 + 10) << "room for the board group and the menu bar";
    EXPECT_LT(least.height(), 535 + 60);
    const QMargins frame = frameOf(window);
    const QRect expected(QPoint(20 + frame.left(), 10 + frame.top()), least);
    EXPECT_EQ(settledClientArea(window, expected), expected);
    ASSERT_TRUE(m_program->terminate());
    EXPECT_EQ(m_program->savedPlacement(), expected.marginsAdded(frame));
}

// Another client resizing the window below its minimum gets it enlarged back
// at once: under openbox by the window manager, which keeps to the minimum
// the window asks for, and without one by the program itself.
TEST_P(Placement, aWindowResizedBelowTheMinimumIsEnlargedBack)
{
    writeSettings("[tarvlesolo]\nTop=10\nLeft=20\nWidth=600\nHeight=620\nUpdate=false\n");
    const QRect stored(20, 10, 600, 620);
    const QString window = m_program->start();
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    const QMargins frame = frameOf(window);
    ASSERT_EQ(settledClientArea(window, stored.marginsRemoved(frame)), stored.marginsRemoved(frame));
    const QSize least = m_desktop->minimumSize(window);

    m_desktop->run("xdotool", {"windowsize", window, "300", "200"});
    QRect seen;
    EXPECT_TRUE(waitUntil([&] { return (seen = m_desktop->clientArea(window)).size() == least; }, 5000))
        << "client area stayed " << seen.width() << "x" << seen.height();
    // Only the dimension that fell short grows.
    m_desktop->run("xdotool", {"windowsize", window, "700", "100"});
    const QRect wide(stored.marginsRemoved(frame).topLeft(), QSize(700, least.height()));
    EXPECT_TRUE(waitUntil([&] { return (seen = m_desktop->clientArea(window)) == wide; }, 5000))
        << "client area stayed " << seen.width() << "x" << seen.height();
    ASSERT_TRUE(m_program->terminate());
    EXPECT_EQ(m_program->savedPlacement(), wide.marginsAdded(frame));
}

INSTANTIATE_TEST_SUITE_P(X11, Placement, ::testing::Bool(), [](const ::testing::TestParamInfo<bool> &info) {
    return std::string(info.param ? "underOpenbox" : "withoutWindowManager");
});
