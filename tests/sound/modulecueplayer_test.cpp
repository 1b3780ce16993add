// The program's player: the sound output module carried inside the program,
// loaded when asked to open, and heard on a real server like the player it
// is built from. (How the cues sound is tested in pulseaudio_test.)

#include "cueonsets.h"
#include "modulecueplayer.h"
#include "monitorrecording.h"
#include "pulseserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

void runFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

// The libraries of this process as the loader mapped them.
QByteArray mappedFiles()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}

} // namespace

// The module is loaded when the player opens, not before, and the start-up
// cue asked for before is heard. (That the program itself starts without Qt
// Multimedia is checked in process_test.)
TEST(ModuleCuePlayer, loadsTheModuleWhenOpenedAndPlaysTheCueAskedForBefore)
{
    PulseServer server;
    ASSERT_TRUE(server.isRunning()) << qPrintable(server.failure());
    const QProcessEnvironment environment = server.clientEnvironment();
    for (const QString &key : environment.keys())
        qputenv(key.toLocal8Bit(), environment.value(key).toLocal8Bit());

    MonitorRecording recording(environment, server.monitorName(), PulseServer::Rate);
    ASSERT_TRUE(recording.isRunning());
    ASSERT_TRUE(recording.waitForFrames(PulseServer::Rate / 5));

    {
        ModuleCuePlayer player;
        player.playsounds(Cue::Entered);
        EXPECT_FALSE(player.isLoaded());
        EXPECT_FALSE(mappedFiles().contains("tarvlesolo-sound"));

        player.open();
        ASSERT_TRUE(player.isLoaded());
        EXPECT_TRUE(mappedFiles().contains("tarvlesolo-sound"));
        runFor(1500);
    }
    ASSERT_TRUE(recording.waitForFrames(recording.frames() + PulseServer::Rate / 5));
    recording.stop();
    EXPECT_GT(CueOnsets::peak(recording.samples()), 1000) << "the start-up cue was not heard";
}

// A module that is not there leaves the cues silent: nothing thrown, nothing
// loaded, and cues asked for go nowhere.
TEST(ModuleCuePlayer, withoutTheModuleCuesAreSilent)
{
    ModuleCuePlayer player(QStringLiteral(":/modules/none.so"));
    player.playsounds(Cue::Click);
    player.open();
    EXPECT_FALSE(player.isLoaded());
    player.playsounds(Cue::Tick);
    EXPECT_FALSE(player.isLoaded());
}
