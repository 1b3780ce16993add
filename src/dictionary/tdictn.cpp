#include "tdictn.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QResource>

#include <cstring>

namespace {

constexpr auto ListFileName = "English";
constexpr qint64 ChunkSize = 64 * 1024;

// Reads the next piece of the built-in list into buffer (ChunkSize bytes).
// The list ends at the first NUL byte or at the end of the source; finished
// is set once that end is reached. Returns the length read, -1 on an error.
qint64 readListChunk(QIODevice &source, char *buffer, bool &finished)
{
    const qint64 length = source.read(buffer, ChunkSize);
    if (length <= 0) {
        finished = true;
        return length;
    }
    if (const void *nul = std::memchr(buffer, '\0', size_t(length))) {
        finished = true;
        return static_cast<const char *>(nul) - buffer;
    }
    return length;
}

} // namespace

TDictn::TDictn(const QString &folder, const QString &resourcePath)
    : m_fileName(QDir(folder).absoluteFilePath(QLatin1String(ListFileName)))
    , m_resourcePath(resourcePath)
{
    if (!QFileInfo::exists(m_fileName)) {
        writeList();
    } else if (QFileInfo info(m_fileName); info.isFile() && info.isReadable() && !holdsBuiltInList()) {
        // Someone else's file: it is neither used nor touched, and the list
        // is searched where it lies inside the program instead. A file that
        // cannot even be read fails to open below, as a missing list does.
        m_foreign = true;
        m_notice = QCoreApplication::translate("TDictn",
                                               "The file %1 does not hold this game's word list. It was left "
                                               "unchanged, and words are judged with the game's own list.")
                       .arg(QDir::toNativeSeparators(m_fileName));
    }

    if (m_foreign) {
        m_file.setFileName(m_resourcePath);
        m_opened = m_file.open(QIODevice::ReadOnly);
    } else {
        m_file.setFileName(m_fileName);
        m_opened = m_file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered);
    }
    if (m_opened)
        m_records.emplace(&m_file);
}

TDictn::~TDictn()
{
    close();
}

void TDictn::close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_opened = false;
    m_records.reset();
    m_file.close();
    // Errors are ignored: the program is ending.
    if (!m_foreign && holdsBuiltInList())
        QFile::remove(m_fileName);
}

QString TDictn::notFoundMessage()
{
    return QCoreApplication::translate("TDictn", "English.dic dictionary not found!");
}

qint32 TDictn::findword(const QString &key)
{
    if (!m_opened)
        return -1;
    return m_records->findword(key);
}

bool TDictn::checkword(const QString &word)
{
    return findword(word) != -1;
}

// Written under a temporary name in the same folder and renamed when complete,
// so an interrupted start never leaves a truncated list called English. Not
// synced to disk: the file is only a copy of the built-in list, which the
// next start writes again when it is missing, and waiting for the disk would
// hold up the start.
void TDictn::writeList()
{
    QFile source(m_resourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return; // No built-in list: nothing is written, and the opening that follows fails.

    // A name of its own, so two starts at once never write into one file.
    QFile target;
    for (int attempt = 0; attempt < 8 && !target.isOpen(); ++attempt) {
        target.setFileName(QStringLiteral("%1.%2.part")
                               .arg(m_fileName)
                               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        (void)target.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    const auto fail = [this, &target] {
        m_writeError = QCoreApplication::translate("TDictn", "Unable to write the word list file %1: %2")
                           .arg(QDir::toNativeSeparators(m_fileName), target.errorString());
    };
    if (!target.isOpen()) {
        fail();
        return;
    }

    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    bool written = true;
    for (bool finished = false; !finished;) {
        const qint64 length = readListChunk(source, buffer.data(), finished);
        if (length < 0) {
            // An unreadable built-in list is treated as a missing one.
            target.close();
            target.remove();
            return;
        }
        if (target.write(buffer.constData(), length) != length) {
            written = false;
            break;
        }
    }
    if (written)
        written = target.flush();
    if (!written) {
        fail();
        target.close();
        target.remove();
        return;
    }
    target.close();
    if (!target.rename(m_fileName)) {
        // Another start may have put its list there meanwhile; it is judged
        // like any English found at start.
        if (!QFileInfo::exists(m_fileName))
            fail();
        target.remove();
    }
}

// True when the file English holds exactly the built-in list: the bytes of the
// resource up to its first NUL, no more and no less.
bool TDictn::holdsBuiltInList() const
{
    // Compared in place where both can be mapped: the check runs at every
    // start, and copying four megabytes twice over shows.
    if (const std::optional<bool> same = sameInPlace())
        return *same;

    QFile source(m_resourcePath);
    QFile file(m_fileName);
    if (!source.open(QIODevice::ReadOnly) || !file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > source.size())
        return false;

    QByteArray expected(ChunkSize, Qt::Uninitialized);
    QByteArray actual(ChunkSize, Qt::Uninitialized);
    for (bool finished = false; !finished;) {
        const qint64 length = readListChunk(source, expected.data(), finished);
        if (length < 0)
            return false;
        if (file.read(actual.data(), length) != length
            || std::memcmp(expected.constData(), actual.constData(), size_t(length)) != 0)
            return false;
    }
    char extra = 0;
    return file.read(&extra, 1) == 0;
}

std::optional<bool> TDictn::sameInPlace() const
{
    if (!m_resourcePath.startsWith(QLatin1Char(':')))
        return std::nullopt;
    const QResource resource(m_resourcePath);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression || !resource.data())
        return std::nullopt;
    const char *list = reinterpret_cast<const char *>(resource.data());
    qint64 length = resource.size();
    if (const void *nul = std::memchr(list, '\0', size_t(length)))
        length = static_cast<const char *>(nul) - list;

    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() != length)
        return false;
    if (length == 0)
        return true;
    uchar *mapped = file.map(0, length);
    if (!mapped)
        return std::nullopt;
    const bool same = std::memcmp(mapped, list, size_t(length)) == 0;
    file.unmap(mapped);
    return same;
}
