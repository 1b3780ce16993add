#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// An initialisation file held as its lines, so that a save changes only the
// keys it writes: every other line, key and section stays byte for byte.
// Section and key names match regardless of letter case; values are given
// back exactly as they stand (without the spaces around them). The text is
// 8-bit, as EightBitText reads and writes it.
class IniFile
{
public:
    // Reads the file; a missing or unreadable file is an empty one.
    static IniFile load(const QString &path);

    std::optional<QString> value(const QString &section, const QString &key) const;
    // Replaces the key's line, or adds it at the end of its section, or adds
    // the section at the end of the file.
    void setValue(const QString &section, const QString &key, const QString &value);

    // The whole text as it would be written.
    QByteArray text() const;
    // Writes the whole text beside the old file and renames it over it, so
    // no reader ever sees a partly written file. False when that failed.
    bool save(const QString &path) const;

private:
    struct Line {
        QByteArray text;   // without its line end
        QByteArray ending; // "\n", "\r\n" or nothing on a last line
    };

    // Index range of a section's lines (after its header), or nothing.
    struct Section {
        int header;
        int end; // one past its last line
    };
    std::optional<Section> findSection(const QString &section) const;
    int findKey(const Section &section, const QString &key) const;

    QList<Line> m_lines;
    QByteArray m_newline = "\n";
};
