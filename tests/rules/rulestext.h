#pragma once

#include "geometry.h"
#include "lettercodes.h"
#include "readingorder.h"

#include <string_view>
#include <vector>

// A board from its 64 letters in reading order; a bad text throws, which
// fails the test.
inline rules::Letters boardOf(std::string_view text)
{
    return rules::parseBoard(text).value();
}

// The tile codes of a word written in letters.
inline std::vector<int> codesOf(std::string_view word)
{
    std::vector<int> codes;
    for (char c : word)
        codes.push_back(rules::letterCode(c));
    return codes;
}
