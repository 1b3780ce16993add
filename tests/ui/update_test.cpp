#include "aboutform.h"
#include "application.h"
#include "flatbutton.h"
#include "gametestsupport.h"
#include "httptestserver.h"
#include "mainform.h"
#include "sessionwindow.h"
#include "signalcloser.h"
#include "signature.h"
#include "testfiles.h"
#include "updatecheck.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

// A real service on a free loopback port, stopped when this goes.
class Service
{
public:
    explicit Service(const QStringList &arguments)
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        m_process.start(QStringLiteral(TARVLE_SERVICE),
                        QStringList{"--port", QString::number(m_port), "--db", m_data.filePath("scores.db")} + arguments);
        m_process.waitForStarted();
        for (int attempt = 0; attempt < 200; ++attempt) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(50))
                break;
            QTest::qWait(20);
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

} // namespace

// The update check through the main window against a real service.
class UpdateTest : public SessionWindowTest
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    GameRecorder m_sound;
    bool m_exited = false;

    QString program() const { return QDir(m_folder.path()).filePath("tarvlesolo"); }

    void open(const Service &service) { open(service.base()); }

    void open(const QString &serviceBase)
    {
        QFile file(program());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("the program");
        file.close();
        openWindow(Session::Paths{m_folder.path(), m_folder.path(), program()}, &m_sound);
        m_session->update().setServiceBase(serviceBase);
        m_session->update().setExit([this] { m_exited = true; });
        m_window->attachUpdateCheck(m_session->update());
        m_window->show(); // the first showing starts the check
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    // The game's open connections would keep a stopping service waiting.
    void closeBeforeTheService()
    {
        closeWindow();
    }

    QWidget *panel() { return m_window->findChild<QWidget *>("panel_update"); }
    QString status() { return m_window->findChild<QLabel *>("label_update")->text(); }

private slots:
    void cleanup()
    {
        closeWindow();
        QDir(m_folder.path()).removeRecursively();
        QDir().mkpath(m_folder.path());
        m_exited = false;
    }

    // The same version offers nothing.
    void sameVersion()
    {
        Service service({"--version-text", "1.0.0"});
        open(service);
        QVERIFY(m_session->update().checking());
        QTRY_VERIFY_WITH_TIMEOUT(!m_session->update().checking(), 10000);
        QVERIFY(!panel()->isVisible());
        closeBeforeTheService();
    }

    // Another version offers the update; UPDATE renames the program, fetches
    // the installer, reports its size and starts it with its three arguments.
    void updateAndInstall()
    {
        QTemporaryDir installerDir;
        const QString args = installerDir.filePath("args.txt");
        const QString installer = installerDir.filePath("setup.sh");
        const QByteArray script = QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(args).toUtf8();
        QVERIFY(writeFile(installer, script));
        QVERIFY(writeFile(installer + ".sig", Signature::sign(script, readFile(TARVLE_DEV_KEY)) + '\n'));
        const qint64 size = script.size();

        Service service({"--version-text", "1.0.1", "--installer", installer});
        open(service);
        QTRY_VERIFY_WITH_TIMEOUT(panel()->isVisible(), 10000);
        QVERIFY(status().isEmpty());
        QStringList statuses;
        connect(&m_session->update(), &UpdateCheck::statusChanged, this, [&](const QString &s) { statuses << s; });
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_updateyes"), Qt::LeftButton);
        QVERIFY(!m_window->findChild<QWidget *>("button_updateyes")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(m_exited, 10000);
        QCOMPARE(statuses, (QStringList{"Updating. Please Wait...", QStringLiteral("Received %1 bytes").arg(size),
                                        "Installing"}));
        QCOMPARE(status(), QStringLiteral("Installing"));
        QCOMPARE(readFile(program() + ".BAK"), QByteArray("the program"));
        QCOMPARE(readFile(program()), QByteArray("the program"));
        QCOMPARE(QFileInfo(QDir(m_folder.path()).filePath("trvsetup.exe")).size(), size);
        // The installer runs on its own; wait until it has written its arguments.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(args).size() > 0, 10000);
        QFile written(args);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("/SP- /silent /noicons\n"));
        closeBeforeTheService();
    }

    // Without an installer on the service the download ends in "Download
    // Aborted" and the program keeps its name.
    void downloadAborted()
    {
        Service service({"--version-text", "1.0.0\n"});
        open(service);
        QTRY_VERIFY_WITH_TIMEOUT(panel()->isVisible(), 10000);
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_updateyes"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Download Aborted"), 10000);
        QVERIFY(QFile::exists(program()));
        QVERIFY(!m_exited);

        // CANCEL on a fresh offer only hides the panel.
        panel()->hide();
        m_session->update().checkupdateDoneString(QStringLiteral("0.9"));
        QVERIFY(panel()->isVisible());
        m_window->button_updatecancelClick();
        QVERIFY(!panel()->isVisible());
        closeBeforeTheService();
    }

    // Closing the game while the host stalls, by the close box or by
    // SIGTERM, ends the transfer: the progress was shown, nothing starts, no
    // part of the installer stays, and the settings and tally are saved as
    // at any close.
    void closeDuringAStalledDownload_data()
    {
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("close box") << false;
        QTest::newRow("SIGTERM") << true;
    }

    void closeDuringAStalledDownload()
    {
        QFETCH(bool, bySignal);
        const QString ran = QDir(m_folder.path()).filePath("ran.txt");
        const QByteArray installer = "#!/bin/sh\ntouch '" + ran.toUtf8() + "'\n" + QByteArray(300, '#');
        HttpTestServer server;
        server.setRoute("/tarvlesolo/tarvlesoloversion.txt", {200, "1.0.1", {}});
        server.setRoute("/tarvlesolo/trvsetup.exe", {200, installer, {}, 100, true});
        server.setRoute("/tarvlesolo/trvsetup.exe.sig", {200, Signature::sign(installer, readFile(TARVLE_DEV_KEY)), {}});
        open(server.base());
        std::unique_ptr<SignalCloser> closer;
        if (bySignal) {
            closer = std::make_unique<SignalCloser>();
            closer->setWindow(m_window.get());
        }
        QTRY_VERIFY_WITH_TIMEOUT(panel()->isVisible(), 10000);
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_updateyes"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Receiving 100 of %1 bytes").arg(installer.size()), 10000);
        QVERIFY(m_session->update().downloading());

        if (bySignal)
            ::raise(SIGTERM);
        else
            m_window->close();
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), 10000);
        QVERIFY(!m_session->update().downloading());
        QTest::qWait(300);
        QVERIFY(!m_exited);
        QVERIFY(!QFile::exists(ran));
        QCOMPARE(readFile(program()), QByteArray("the program"));
        const QStringList files = QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(!files.join(' ').contains("trvsetup"), qPrintable(files.join(' ')));
        QVERIFY(files.contains("tarvlesolo.ini"));
        QVERIFY(files.contains("tarvlesolotally.tld"));
        QVERIFY(!files.contains("English"));
        closer.reset();
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    UpdateTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "update_test.moc"
