#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// GoogleTest finds these by argument-dependent lookup: failures then show
// text, and bytes as hex, instead of element dumps.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << bytes.size() << " bytes: " << bytes.left(96).toHex(' ').constData()
         << (bytes.size() > 96 ? " ..." : "");
}
