#pragma once

#include <QString>
#include <QtGlobal>

class TallyGrid;

// The tally file beside the program: the grid's text form packed into a
// "WRZL" container. Read once at start, written once at exit.
class TallyFile
{
public:
    // The most text a tally file may unpack to. A tally is a few hundred
    // bytes; this bounds the memory a damaged file can cost.
    static constexpr qint64 MaxTextSize = 1024 * 1024;

    explicit TallyFile(const QString &path);

    QString path() const { return m_path; }

    // Reads the file into the grid; a missing file is no error. Throws
    // ELzrw1Exception with the compressor's own message, or TallyTextError
    // naming the file and what is wrong with it; the grid then keeps what
    // was read before the failure.
    void load(TallyGrid &grid);
    // Writes the grid; false when that failed, and the old file is then
    // untouched. After a failed load the unreadable file is first kept
    // beside it with ".bad" added.
    bool save(const TallyGrid &grid) const;

private:
    QString m_path;
    bool m_loadFailed = false;
};
