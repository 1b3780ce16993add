#pragma once

#include <QString>

#include <stdexcept>

// A failure of the tally file compressor: a file that cannot be opened, read
// or written, or a container that is not a valid one. The message is shown to
// the player as it is; it is held in UTF-8.
class ELzrw1Exception : public std::runtime_error
{
public:
    explicit ELzrw1Exception(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }

    QString message() const { return QString::fromUtf8(what()); }
};
