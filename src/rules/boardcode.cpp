#include "boardcode.h"

namespace rules {

namespace {

constexpr std::string_view Digits = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
static_assert(Digits.size() == 32);

constexpr int BitsPerCharacter = 5;

// The value of a code character, or -1.
constexpr int valueOf(char c)
{
    if (c >= 'a' && c <= 'z')
        c = char(c - 'a' + 'A');
    if (c == 'O')
        return 0;
    if (c == 'I' || c == 'L')
        return 1;
    const std::size_t at = Digits.find(c);
    return at == std::string_view::npos ? -1 : int(at);
}

constexpr bool printable(char c)
{
    return c > ' ' && c < 0x7F;
}

} // namespace

std::string boardCode(Seed seed)
{
    std::string code(BoardCodeLength, '0');
    for (std::size_t i = BoardCodeLength; i-- > 0;) {
        code[i] = Digits[seed & 31];
        seed >>= BitsPerCharacter;
    }
    return code;
}

CodeReading readBoardCode(std::string_view text)
{
    if (text.size() != BoardCodeLength) {
        return {std::nullopt, "A board code has " + std::to_string(BoardCodeLength) + " characters; this one has "
                                  + std::to_string(text.size()) + "."};
    }
    Seed seed = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int value = valueOf(text[i]);
        if (value < 0) {
            const std::string which = printable(text[i]) ? "'" + std::string(1, text[i]) + "'"
                                                         : "Character " + std::to_string(i + 1);
            return {std::nullopt, which + " is not a board code character (a code uses 0-9 and A-Z, but not U)."};
        }
        seed = (seed << BitsPerCharacter) | Seed(value);
    }
    return {seed, {}};
}

} // namespace rules
