#pragma once

// Letters as tile codes: 1..26 for A..Z. Codes outside that range are the
// game's drawing codes (frames, empty squares) and never letters.
namespace rules {

constexpr int FirstLetter = 1; // A
constexpr int LastLetter = 26; // Z

constexpr bool isLetter(int code)
{
    return code >= FirstLetter && code <= LastLetter;
}

// The code of a..z or A..Z; 0, which is no letter, for any other character.
constexpr int letterCode(char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a' + FirstLetter;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + FirstLetter;
    return 0;
}

// 'a'..'z' for a letter code, '\0' for anything else.
constexpr char letterChar(int code)
{
    return isLetter(code) ? char('a' + (code - FirstLetter)) : '\0';
}

} // namespace rules
