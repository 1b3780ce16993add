#include "settingsfile.h"

SettingsFile::SettingsFile(const QString &path)
    : m_path(path)
{
}

MainSettings SettingsFile::loadinifile() const
{
    return MainSettings{};
}

void SettingsFile::saveinifile(const MainSettings &) const
{
}
