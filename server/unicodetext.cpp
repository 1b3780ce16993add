#include "unicodetext.h"

#include <cstdint>

namespace unicodetext {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

template <std::size_t N>
bool inRanges(char32_t c, const Range (&ranges)[N])
{
    for (const Range &range : ranges) {
        if (c >= range.first && c <= range.last)
            return true;
    }
    return false;
}

constexpr Range spaces[] = {{0x09, 0x0D}, {0x20, 0x20},     {0x85, 0x85},     {0xA0, 0xA0},
                            {0x1680, 0x1680}, {0x2000, 0x200A}, {0x2028, 0x2029}, {0x202F, 0x202F},
                            {0x205F, 0x205F}, {0x3000, 0x3000}};

// Default_Ignorable_Code_Point (Unicode 15) plus fillers and blanks that show as empty space.
constexpr Range invisibles[] = {
    {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x061C, 0x061C},   {0x115F, 0x1160},   {0x17B4, 0x17B5},
    {0x180B, 0x180F},   {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x206F},   {0x2800, 0x2800},
    {0x3164, 0x3164},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFF8},
    {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

constexpr Range bidiControls[] = {{0x061C, 0x061C}, {0x200E, 0x200F}, {0x202A, 0x202E}, {0x2066, 0x2069}};

// One code point at `at`, with its length in bytes; nullopt for anything but strict UTF-8.
std::optional<std::pair<char32_t, std::size_t>> decodeAt(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t extra = 0;
    std::uint32_t codePoint = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        return std::pair{static_cast<char32_t>(lead), std::size_t{1}};
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (extra > text.size() - at - 1)
        return std::nullopt;
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return std::nullopt;
    return std::pair{static_cast<char32_t>(codePoint), extra + 1};
}

} // namespace

std::optional<std::u32string> decode(std::string_view text)
{
    std::u32string codePoints;
    for (std::size_t at = 0; at < text.size();) {
        const auto next = decodeAt(text, at);
        if (!next)
            return std::nullopt;
        codePoints += next->first;
        at += next->second;
    }
    return codePoints;
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool isSpace(char32_t c)
{
    return inRanges(c, spaces);
}

bool isInvisible(char32_t c)
{
    return inRanges(c, invisibles);
}

bool isBidiControl(char32_t c)
{
    return inRanges(c, bidiControls);
}

std::string_view trimSpaces(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = 0; // one past the last code point that is not a space
    for (std::size_t at = 0; at < text.size();) {
        const auto next = decodeAt(text, at);
        if (!next)
            return text;
        if (!isSpace(next->first)) {
            if (end == 0)
                begin = at;
            end = at + next->second;
        }
        at += next->second;
    }
    return text.substr(begin, end - begin);
}

} // namespace unicodetext
