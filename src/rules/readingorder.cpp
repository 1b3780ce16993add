#include "readingorder.h"

#include "lettercodes.h"

namespace rules {

namespace {

constexpr std::size_t textIndex(int column, int row)
{
    return std::size_t(row * BoardSize + column);
}

} // namespace

std::optional<Letters> parseBoard(std::string_view text)
{
    if (text.size() != std::size_t(CellCount))
        return std::nullopt;
    Letters letters{};
    for (int row = 0; row < BoardSize; ++row) {
        for (int column = 0; column < BoardSize; ++column) {
            const int code = letterCode(text[textIndex(column, row)]);
            if (!isLetter(code))
                return std::nullopt;
            letters[cellIndex(column, row)] = code;
        }
    }
    return letters;
}

std::string formatBoard(const Letters &letters)
{
    std::string text(std::size_t(CellCount), '?');
    for (int row = 0; row < BoardSize; ++row) {
        for (int column = 0; column < BoardSize; ++column) {
            const int code = letters[cellIndex(column, row)];
            if (isLetter(code))
                text[textIndex(column, row)] = letterChar(code);
        }
    }
    return text;
}

} // namespace rules
