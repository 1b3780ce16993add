#pragma once

#include <QString>

#include <stdexcept>

// An input/output error while searching the word list file. It is not handled
// by word submission: it reaches the application's error box, and that
// submission ends without a verdict. The message is held in UTF-8.
class DictionaryError : public std::runtime_error
{
public:
    explicit DictionaryError(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }

    QString message() const { return QString::fromUtf8(what()); }
};
