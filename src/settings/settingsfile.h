#pragma once

#include "mainsettings.h"

#include <QString>

// The settings file beside the program. Until the file format is in place
// every start uses the defaults and nothing is written.
class SettingsFile
{
public:
    explicit SettingsFile(const QString &path);

    QString path() const { return m_path; }
    MainSettings loadinifile() const;
    void saveinifile(const MainSettings &settings) const;

private:
    QString m_path;
};
