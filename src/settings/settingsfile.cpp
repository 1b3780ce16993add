#include "settingsfile.h"

#include "inifile.h"

#include <QDir>

#include <limits>

namespace {

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (base == 16 && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (base == 16 && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

SettingsFile::SettingsFile(const QString &path, const QString &section)
    : m_path(path)
    , m_section(section)
{
}

std::optional<int> SettingsFile::parseInteger(const QString &text)
{
    QStringView digits = text;
    int base = 10;
    bool negative = false;
    if (digits.startsWith(u"0x") || digits.startsWith(u"0X")) {
        digits = digits.mid(2);
        base = 16;
    } else if (digits.startsWith(u'$')) {
        digits = digits.mid(1);
        base = 16;
    } else if (digits.startsWith(u'-')) {
        digits = digits.mid(1);
        negative = true;
    }
    if (digits.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        // Hexadecimal covers all 32 bits (ffffffff is -1); decimal must fit.
        if (value > (base == 16 ? qint64(0xFFFFFFFF) : qint64(std::numeric_limits<int>::max()) + negative))
            return std::nullopt;
    }
    if (base == 16)
        return static_cast<int>(static_cast<quint32>(value));
    return static_cast<int>(negative ? -value : value);
}

MainSettings SettingsFile::loadinifile() const
{
    const IniFile ini = IniFile::load(m_path);
    MainSettings settings;
    auto integer = [&](const char *key, int fallback) {
        const auto text = ini.value(m_section, QString::fromLatin1(key));
        return text ? parseInteger(*text).value_or(fallback) : fallback;
    };
    auto text = [&](const char *key, const char *fallback) {
        return ini.value(m_section, QString::fromLatin1(key)).value_or(QString::fromLatin1(fallback));
    };
    settings.top = integer("Top", MainSettings::DefaultTop);
    settings.left = integer("Left", MainSettings::DefaultLeft);
    settings.width = integer("Width", MainSettings::DefaultWidth);
    settings.height = integer("Height", MainSettings::DefaultHeight);
    // Only the exact words switch these; "No" or "FALSE" leave them on.
    settings.sounds = text("Sounds", "yes") != QLatin1String("no");
    settings.update = text("Update", "true") != QLatin1String("false");
    settings.name = text("Name", "Guest");
    settings.clickletters = text("Clickletters", "0") == QLatin1String("1") ? 1 : 0;
    return settings;
}

void SettingsFile::saveinifile(const MainSettings &settings) const
{
    IniFile ini = IniFile::load(m_path);
    ini.setValue(m_section, QStringLiteral("Top"), QString::number(settings.top));
    ini.setValue(m_section, QStringLiteral("Left"), QString::number(settings.left));
    ini.setValue(m_section, QStringLiteral("Width"), QString::number(settings.width));
    ini.setValue(m_section, QStringLiteral("Height"), QString::number(settings.height));
    ini.setValue(m_section, QStringLiteral("Clickletters"), QString::number(settings.clickletters));
    ini.setValue(m_section, QStringLiteral("Name"), settings.name);
    ini.setValue(m_section, QStringLiteral("Sounds"), settings.sounds ? QStringLiteral("yes") : QStringLiteral("no"));
    ini.setValue(m_section, QStringLiteral("Update"), settings.update ? QStringLiteral("true") : QStringLiteral("false"));
    if (!ini.save(m_path))
        throw SettingsError(("Unable to write to " + QDir::toNativeSeparators(m_path)).toStdString());
}
