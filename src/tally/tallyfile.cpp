#include "tallyfile.h"

#include "tallygrid.h"
#include "elzrw1exception.h"
#include "tlzrw1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <new>

namespace {

// What went wrong, which file it was, and that its records are not lost.
TallyTextError damaged(const QString &path, const QString &what)
{
    const QString native = QDir::toNativeSeparators(path);
    return TallyTextError(QCoreApplication::translate("TallyFile",
                                                      "The tally file %1 cannot be read: %2. The file is kept "
                                                      "as %1.bad when the game closes.")
                              .arg(native, what)
                              .toStdString());
}

} // namespace

TallyFile::TallyFile(const QString &path)
    : m_path(path)
{
}

void TallyFile::load(TallyGrid &grid)
{
    if (!QFile::exists(m_path))
        return;
    // Marked first: whatever fails below, the file is kept at the next save.
    m_loadFailed = true;
    QFile file(m_path);
    if (QFileInfo(m_path).isDir() || !file.open(QIODevice::ReadOnly))
        throw ELzrw1Exception(Tlzrw1::openInputMessage(m_path));
    // The text passes through memory, never more of it than MaxTextSize:
    // no intermediate file anywhere.
    try {
        grid.loadgrid(Tlzrw1::decompress(file, m_path, MaxTextSize));
    } catch (const Tlzrw1::TooLong &) {
        throw damaged(m_path, QCoreApplication::translate("TallyFile", "it unpacks to more than %1 bytes, "
                                                                       "and a tally is a few hundred")
                                  .arg(MaxTextSize));
    } catch (const TallyTextError &e) {
        throw damaged(m_path, QString::fromUtf8(e.what()));
    } catch (const std::bad_alloc &) {
        throw damaged(m_path, QCoreApplication::translate("TallyFile", "there is not enough memory"));
    }
    m_loadFailed = false;
}

bool TallyFile::save(const TallyGrid &grid) const
{
    if (m_loadFailed && QFile::exists(m_path)) {
        const QString kept = m_path + QStringLiteral(".bad");
        QFile::remove(kept);
        if (!QFile::copy(m_path, kept))
            return false; // never replace records that could not be kept
    }
    const QByteArray container = Tlzrw1::compress(grid.savegrid());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(container) != container.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
