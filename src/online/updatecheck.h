#pragma once

#include <QObject>
#include <QString>

#include <functional>

class StringFetch;

// The update offer, without widgets: asks the service for its version text,
// offers an update when it differs from ours, and on acceptance moves the
// program file aside, downloads the installer, starts it and ends the process.
// The main window only shows what the signals report.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    UpdateCheck(const QString &programFile, const QString &programFolder,
                std::function<QString()> version, QObject *parent = nullptr);

    // Used instead of the build's service host when set, e.g. "http://127.0.0.1:8123".
    QString serviceBase() const { return m_serviceBase; }
    void setServiceBase(const QString &httpBase) { m_serviceBase = httpBase; }

    // Called once the installer runs; ends the process at once by default.
    void setExit(std::function<void()> exit) { m_exit = std::move(exit); }

    // The program file's path with its extension replaced by ".BAK".
    static QString backupName(const QString &programFile);

    void start();
    // Whether the version text has been asked for and not yet come.
    bool checking() const;
    void checkupdateDoneString(const QString &body);
    // Throws std::runtime_error when the installer file cannot be created.
    void accept();
    void cancel();

signals:
    void offered();
    void withdrawn();
    void buttonsHidden();
    void statusChanged(const QString &text);
    void failed(const QString &message);

private:
    QString url(const QString &path) const;
    void downloadit();
    void restoreProgram();

    QString m_programFile;
    QString m_programFolder;
    std::function<QString()> m_version;
    std::function<void()> m_exit;
    QString m_serviceBase;
    StringFetch *m_fetch;
};
