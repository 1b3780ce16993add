#include "inifile.h"

#include "eightbittext.h"

#include <QFile>
#include <QSaveFile>

namespace {

// The key of a "key=value" line, trimmed; empty for other lines.
QByteArray keyOf(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#') || trimmed.startsWith('['))
        return {};
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0)
        return {};
    return trimmed.left(equals).trimmed();
}

// The name of a "[section]" line; nothing for other lines.
std::optional<QByteArray> sectionOf(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

bool sameName(const QByteArray &a, const QString &b)
{
    return EightBitText::decode(a).compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile IniFile::load(const QString &path)
{
    IniFile ini;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ini;
    const QByteArray data = file.readAll();
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype newline = data.indexOf('\n', start);
        Line line;
        if (newline < 0) {
            line.text = data.mid(start);
            start = data.size();
        } else {
            line.text = data.mid(start, newline - start);
            line.ending = "\n";
            if (line.text.endsWith('\r')) {
                line.text.chop(1);
                line.ending = "\r\n";
            }
            start = newline + 1;
        }
        ini.m_lines.append(line);
    }
    // New lines follow the file's own line ends.
    for (const Line &line : std::as_const(ini.m_lines)) {
        if (!line.ending.isEmpty()) {
            ini.m_newline = line.ending;
            break;
        }
    }
    return ini;
}

std::optional<IniFile::Section> IniFile::findSection(const QString &section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionOf(m_lines[i].text);
        if (!name || !sameName(*name, section))
            continue;
        int end = i + 1;
        while (end < m_lines.size() && !sectionOf(m_lines[end].text))
            ++end;
        return Section{i, end};
    }
    return std::nullopt;
}

int IniFile::findKey(const Section &section, const QString &key) const
{
    for (int i = section.header + 1; i < section.end; ++i) {
        if (sameName(keyOf(m_lines[i].text), key))
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const auto found = findSection(section);
    if (!found)
        return std::nullopt;
    const int line = findKey(*found, key);
    if (line < 0)
        return std::nullopt;
    const QByteArray &text = m_lines[line].text;
    return EightBitText::decode(text.mid(text.indexOf('=') + 1).trimmed());
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const Line entry{EightBitText::encode(key) + '=' + EightBitText::encode(value), m_newline};
    auto found = findSection(section);
    if (!found) {
        // The last line may lack its line end; the new section starts on a line of its own.
        if (!m_lines.isEmpty() && m_lines.last().ending.isEmpty())
            m_lines.last().ending = m_newline;
        m_lines.append(Line{'[' + EightBitText::encode(section) + ']', m_newline});
        m_lines.append(entry);
        return;
    }
    const int line = findKey(*found, key);
    if (line >= 0) {
        m_lines[line].text = entry.text;
        return;
    }
    // After the section's last non-blank line, so blank lines before the
    // next section stay where they were.
    int at = found->end;
    while (at > found->header + 1 && m_lines[at - 1].text.trimmed().isEmpty())
        --at;
    if (at > 0 && m_lines[at - 1].ending.isEmpty())
        m_lines[at - 1].ending = m_newline;
    m_lines.insert(at, entry);
}

QByteArray IniFile::text() const
{
    QByteArray data;
    for (const Line &line : m_lines)
        data += line.text + line.ending;
    return data;
}

bool IniFile::save(const QString &path) const
{
    QSaveFile file(path);
    // Unbuffered, so that write() reports what reached the file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // A short write (a full disk) is no error to the file itself: check it,
    // or the old file would be replaced by a cut one.
    const QByteArray data = text();
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
