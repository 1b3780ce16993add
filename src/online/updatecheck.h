#pragma once

#include <QBuffer>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class Download;
class QTemporaryFile;
class StringFetch;

// The update offer, without widgets: asks the service for its version text,
// offers an update when it differs from ours, and on acceptance downloads the
// installer and its signature, starts it and ends the process. The main
// window only shows what the signals report.
//
// Nothing is put in place before it is whole and verified: the installer is
// received into a hidden file beside the program, its Ed25519 signature is
// checked against the key the game was built to trust, and only then does
// the program get its backup name (a second name: the program keeps its own,
// so no moment leaves the folder without it) and the installer its name and
// its start. Any failure, and abort(), removes the partial file and starts
// nothing.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    // The most an installer may be; a larger one is refused while it comes.
    static constexpr qint64 MaxInstallerSize = 256 * 1024 * 1024;

    UpdateCheck(const QString &programFile, const QString &programFolder,
                std::function<QString()> version, QObject *parent = nullptr);
    ~UpdateCheck() override;

    // Used instead of the build's service host when set, e.g. "http://127.0.0.1:8123".
    QString serviceBase() const { return m_serviceBase; }
    void setServiceBase(const QString &httpBase) { m_serviceBase = httpBase; }

    // Called once the installer runs; ends the process at once by default.
    void setExit(std::function<void()> exit) { m_exit = std::move(exit); }
    // The PEM public key installers must be signed with; the build's by default.
    void setTrustedKey(const QByteArray &pem) { m_trustedKey = pem; }
    // The whole transfer's deadline (Download::DeadlineMs by default).
    void setDeadline(int ms);

    // The program file's path with its extension replaced by ".BAK".
    static QString backupName(const QString &programFile);
    // Gives a program file that an interrupted update left only under its
    // backup name its own name back; true when it did.
    static bool restoreLeftBackup(const QString &programFile);

    void start();
    // Whether the version text has been asked for and not yet come.
    bool checking() const;
    // Whether the installer or its signature is on its way.
    bool downloading() const;
    void checkupdateDoneString(const QString &body);
    // Throws std::runtime_error when the installer file cannot be created.
    void accept();
    void cancel();
    // Ends a download on its way: the partial file goes, nothing starts.
    void abort();

signals:
    void offered();
    void withdrawn();
    void buttonsHidden();
    void statusChanged(const QString &text);
    // While the installer comes: bytes so far, and of how many (-1: unknown).
    void progressChanged(qint64 received, qint64 total);
    void failed(const QString &message);

private:
    enum class Stage { Idle, Installer, Signature };

    QString url(const QString &path) const;
    QString installerPath() const;
    void installerArrived(int outcome);
    void signatureArrived(int outcome);
    void install();
    void discard(const QString &status);

    QString m_programFile;
    QString m_programFolder;
    std::function<QString()> m_version;
    std::function<void()> m_exit;
    QString m_serviceBase;
    QByteArray m_trustedKey;
    StringFetch *m_fetch;
    Download *m_download;
    Stage m_stage = Stage::Idle;
    std::unique_ptr<QTemporaryFile> m_part;
    QBuffer m_signature;
};
