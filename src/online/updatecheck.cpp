#include "updatecheck.h"

#include "download.h"
#include "servicehost.h"
#include "servicepaths.h"
#include "signature.h"
#include "stringfetch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

#include <cstdio>
#include <stdexcept>
#include <unistd.h>

namespace {

namespace paths = rules::servicepaths;

constexpr auto BackupExtension = ".BAK";
// A signature line is under a hundred bytes; anything much larger is not one.
constexpr qint64 MaxSignatureSize = 1024;

// A second name for the program: a hard link where the file system has them,
// else a copy. Failures are ignored, as the backup is only a courtesy.
void makeBackup(const QString &programFile, const QString &backup)
{
    if (QFile::exists(backup))
        QFile::remove(backup);
    if (::link(QFile::encodeName(programFile).constData(), QFile::encodeName(backup).constData()) != 0)
        QFile::copy(programFile, backup);
}

} // namespace

UpdateCheck::UpdateCheck(const QString &programFile, const QString &programFolder,
                         std::function<QString()> version, QObject *parent)
    : QObject(parent)
    , m_programFile(programFile)
    , m_programFolder(programFolder)
    , m_version(std::move(version))
    , m_exit([] { _exit(0); })
    , m_trustedKey(Signature::trustedKeyPem())
    , m_fetch(new StringFetch(this))
    , m_download(new Download(this))
{
    connect(m_fetch, &StringFetch::doneString, this, &UpdateCheck::checkupdateDoneString);
    m_download->setMaxSize(MaxInstallerSize);
    connect(m_download, &Download::progress, this, [this](qint64 received, qint64 total) {
        if (m_stage == Stage::Installer)
            emit progressChanged(received, total);
    });
    connect(m_download, &Download::finished, this, [this](Download::Outcome outcome) {
        if (m_stage == Stage::Installer)
            installerArrived(int(outcome));
        else if (m_stage == Stage::Signature)
            signatureArrived(int(outcome));
    });
}

// The partial file goes with m_part.
UpdateCheck::~UpdateCheck() = default;

void UpdateCheck::setDeadline(int ms)
{
    m_download->setDeadline(ms);
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

bool UpdateCheck::restoreLeftBackup(const QString &programFile)
{
    const QString backup = backupName(programFile);
    return !QFileInfo::exists(programFile) && QFileInfo(backup).isFile() && QFile::rename(backup, programFile);
}

QString UpdateCheck::url(const QString &path) const
{
    return m_serviceBase.isEmpty() ? ServiceHost::url(path) : m_serviceBase + path;
}

QString UpdateCheck::installerPath() const
{
    return m_programFolder + QLatin1Char('/') + QLatin1String(paths::InstallerFile);
}

void UpdateCheck::start()
{
    m_fetch->start(url(QLatin1String(paths::Version)));
}

bool UpdateCheck::checking() const
{
    return m_fetch->busy();
}

bool UpdateCheck::downloading() const
{
    return m_stage != Stage::Idle;
}

void UpdateCheck::checkupdateDoneString(const QString &body)
{
    if (body != m_version())
        emit offered();
}

void UpdateCheck::accept()
{
    if (m_stage != Stage::Idle)
        return;
    emit buttonsHidden();
    emit statusChanged(tr("Updating. Please Wait..."));
    // Hidden, and named by the installer it becomes. Parts that an update
    // killed earlier left behind go first.
    const QString partPattern = QStringLiteral(".%1.").arg(QLatin1String(paths::InstallerFile));
    const QDir folder(m_programFolder);
    for (const QString &stale : folder.entryList({partPattern + QLatin1Char('*')}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(stale));
    m_part = std::make_unique<QTemporaryFile>(folder.filePath(partPattern + QStringLiteral("XXXXXX")));
    if (!m_part->open()) {
        m_part.reset();
        throw std::runtime_error(("Cannot create file " + installerPath()).toStdString());
    }
    m_stage = Stage::Installer;
    m_download->start(url(QLatin1String(paths::Installer)), m_part.get());
}

void UpdateCheck::cancel()
{
    emit withdrawn();
}

void UpdateCheck::abort()
{
    if (m_stage == Stage::Idle)
        return;
    m_stage = Stage::Idle;
    m_download->abort();
    discard(tr("Download Aborted"));
}

void UpdateCheck::installerArrived(int outcome)
{
    // Buffered bytes must reach the disk before the file counts as whole.
    if (Download::Outcome(outcome) != Download::Outcome::Complete || !m_part->flush()) {
        discard(tr("Download Aborted"));
        return;
    }
    emit statusChanged(tr("Received %1 bytes").arg(m_part->size()));
    m_stage = Stage::Signature;
    m_signature.close();
    m_signature.setData(QByteArray());
    m_signature.open(QIODevice::WriteOnly);
    m_download->setMaxSize(MaxSignatureSize);
    m_download->start(url(QLatin1String(paths::InstallerSignature)), &m_signature);
}

void UpdateCheck::signatureArrived(int outcome)
{
    m_download->setMaxSize(MaxInstallerSize);
    if (Download::Outcome(outcome) != Download::Outcome::Complete) {
        discard(tr("No signature: not installed"));
        return;
    }
    // What is checked is what is on the disk, read through a mapping.
    const qint64 size = m_part->size();
    uchar *mapped = size > 0 ? m_part->map(0, size) : nullptr;
    const QByteArrayView data = mapped ? QByteArrayView(mapped, size) : QByteArrayView();
    const Signature::Verdict verdict = (size > 0 && !mapped)
        ? Signature::Verdict::Wrong
        : Signature::verify(data, m_signature.data(), m_trustedKey);
    if (mapped)
        m_part->unmap(mapped);
    if (verdict == Signature::Verdict::Malformed) {
        discard(tr("Unreadable signature: not installed"));
        return;
    }
    if (verdict != Signature::Verdict::Good) {
        discard(tr("Wrong signature: not installed"));
        return;
    }
    install();
}

void UpdateCheck::install()
{
    m_stage = Stage::Idle;
    emit statusChanged(QStringLiteral("Installing"));
    const QString backup = backupName(m_programFile);
    makeBackup(m_programFile, backup);

    // Renamed over an older installer in one step.
    const QString path = installerPath();
    m_part->setAutoRemove(false);
    m_part->close();
    const QString partName = m_part->fileName();
    m_part.reset();
    const bool placed = std::rename(QFile::encodeName(partName).constData(), QFile::encodeName(path).constData()) == 0;
    if (placed) {
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser
                                        | QFileDevice::ExeGroup | QFileDevice::ExeOther);
        const QStringList arguments{QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")};
        if (QProcess::startDetached(path, arguments)) {
            m_exit();
            return;
        }
    } else {
        QFile::remove(partName);
    }
    emit failed(tr("There was an error in the update process. Please download TARVLESOLO manually from ")
                + url(QLatin1String(paths::Home)) + QLatin1Char('.'));
}

void UpdateCheck::discard(const QString &status)
{
    m_stage = Stage::Idle;
    m_part.reset();
    emit statusChanged(status);
}
