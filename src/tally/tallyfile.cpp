#include "tallyfile.h"

#include "tallygrid.h"
#include "elzrw1exception.h"
#include "tlzrw1.h"

#include <QFile>
#include <QSaveFile>

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
    if (!file.open(QIODevice::ReadOnly))
        throw ELzrw1Exception(Tlzrw1::openInputMessage(m_path));
    // The text passes through memory: no intermediate file anywhere.
    grid.loadgrid(Tlzrw1::decompress(file.readAll(), m_path));
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
