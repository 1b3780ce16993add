#pragma once

#include <QString>

// What word submission asks of the word list: is this word in it? Lets the
// game be tested with a list of its own instead of the file on disk.
class WordChecker
{
public:
    virtual ~WordChecker() = default;
    virtual bool checkword(const QString &word) = 0;
};
