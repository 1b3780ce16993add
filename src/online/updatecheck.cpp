#include "updatecheck.h"

#include "download.h"
#include "httperror.h"
#include "servicehost.h"
#include "servicepaths.h"
#include "stringfetch.h"

#include <QFile>
#include <QProcess>

#include <stdexcept>
#include <unistd.h>

namespace {

namespace paths = rules::servicepaths;

constexpr auto BackupExtension = ".BAK";

} // namespace

UpdateCheck::UpdateCheck(const QString &programFile, const QString &programFolder,
                         std::function<QString()> version, QObject *parent)
    : QObject(parent)
    , m_programFile(programFile)
    , m_programFolder(programFolder)
    , m_version(std::move(version))
    , m_exit([] { _exit(0); })
    , m_fetch(new StringFetch(this))
{
    connect(m_fetch, &StringFetch::doneString, this, &UpdateCheck::checkupdateDoneString);
}

QString UpdateCheck::backupName(const QString &programFile)
{
    const qsizetype slash = programFile.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = programFile.lastIndexOf(QLatin1Char('.'));
    // A dot in a folder name, or leading a hidden file's name, is no extension.
    if (dot > slash + 1)
        return programFile.left(dot) + QLatin1String(BackupExtension);
    return programFile + QLatin1String(BackupExtension);
}

QString UpdateCheck::url(const QString &path) const
{
    return m_serviceBase.isEmpty() ? ServiceHost::url(path) : m_serviceBase + path;
}

void UpdateCheck::start()
{
    m_fetch->start(url(QLatin1String(paths::Version)));
}

bool UpdateCheck::checking() const
{
    return m_fetch->busy();
}

void UpdateCheck::checkupdateDoneString(const QString &body)
{
    if (body != m_version())
        emit offered();
}

void UpdateCheck::accept()
{
    emit buttonsHidden();
    emit statusChanged(tr("Updating. Please Wait..."));
    const QString backup = backupName(m_programFile);
    if (QFile::exists(backup))
        QFile::remove(backup);
    // The installer is expected to put a new program file in place.
    QFile::rename(m_programFile, backup);
    downloadit();
}

void UpdateCheck::cancel()
{
    emit withdrawn();
}

void UpdateCheck::downloadit()
{
    const QString path = m_programFolder + QLatin1Char('/') + QLatin1String(paths::InstallerFile);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        restoreProgram();
        throw std::runtime_error(("Cannot create file " + path).toStdString());
    }
    try {
        Download::get(url(QLatin1String(paths::Installer)), file);
        file.flush();
        emit statusChanged(tr("Received %1 bytes").arg(file.size()));
    } catch (const HttpError &) {
        emit statusChanged(tr("Download Aborted"));
        file.close();
        restoreProgram();
        return;
    }
    file.close();

    emit statusChanged(QStringLiteral("Installing"));
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser
                        | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    const QStringList arguments{QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")};
    if (QProcess::startDetached(path, arguments)) {
        m_exit();
        return;
    }
    restoreProgram();
    emit failed(tr("There was an error in the update process. Please download TARVLESOLO manually from ")
                + url(QLatin1String(paths::Home)) + QLatin1Char('.'));
}

// Without this the next start would find no program file.
void UpdateCheck::restoreProgram()
{
    const QString backup = backupName(m_programFile);
    if (!QFile::exists(m_programFile) && QFile::exists(backup))
        QFile::rename(backup, m_programFile);
}
