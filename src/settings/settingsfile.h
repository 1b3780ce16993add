#pragma once

#include "mainsettings.h"

#include <QString>

#include <optional>
#include <stdexcept>

// A settings file that could not be written; the message names the file.
class SettingsError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The main window's settings in their initialisation file: one section
// named after the product, eight keys. Anything else in the file is left
// as it was.
class SettingsFile
{
public:
    SettingsFile(const QString &path, const QString &section);

    QString path() const { return m_path; }

    // Missing file, section or key, or a value of the wrong form: that
    // key's default. Never fails.
    MainSettings loadinifile() const;
    // Writes the eight keys in their order. Throws SettingsError
    // ("Unable to write to <path>") when the file cannot be written; the
    // old file then stays as it was.
    void saveinifile(const MainSettings &settings) const;

    // A decimal integer with an optional minus sign, or hexadecimal after
    // "0x", "0X" or "$"; nothing for any other text.
    static std::optional<int> parseInteger(const QString &text);

private:
    QString m_path;
    QString m_section;
};
