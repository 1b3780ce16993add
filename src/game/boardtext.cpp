#include "boardtext.h"

#include "tile.h"

#include <memory>
#include <vector>

namespace BoardText {

std::optional<Letters> parse(const QString &text)
{
    if (text.size() != Board::Size * Board::Size)
        return std::nullopt;
    Letters letters{};
    for (int row = 0; row < Board::Size; ++row) {
        for (int column = 0; column < Board::Size; ++column) {
            const char16_t c = text.at(row * Board::Size + column).toLower().unicode();
            if (c < u'a' || c > u'z')
                return std::nullopt;
            letters[column * Board::Size + row] = c - u'a' + Tile::FirstLetter;
        }
    }
    return letters;
}

std::function<int()> draws(const Letters &letters)
{
    // The deal draws column by column, the same order as the array.
    auto sequence = std::make_shared<std::vector<int>>();
    for (int code : letters)
        sequence->push_back(Tile::firstChance(code));
    auto next = std::make_shared<std::size_t>(0);
    return [sequence, next] { return (*sequence)[(*next)++ % sequence->size()]; };
}

} // namespace BoardText
