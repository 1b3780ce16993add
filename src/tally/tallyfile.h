#pragma once

#include <QString>

class TallyGrid;

// The tally file beside the program: the grid's text form packed into a
// "WRZL" container. Read once at start, written once at exit.
class TallyFile
{
public:
    explicit TallyFile(const QString &path);

    QString path() const { return m_path; }

    // Reads the file into the grid; a missing file is no error. Throws
    // ELzrw1Exception or TallyTextError; the grid then keeps what was read
    // before the failure.
    void load(TallyGrid &grid);
    // Writes the grid; false when that failed, and the old file is then
    // untouched. After a failed load the unreadable file is first kept
    // beside it with ".bad" added.
    bool save(const TallyGrid &grid) const;

private:
    QString m_path;
    bool m_loadFailed = false;
};
