#pragma once

#include "geometry.h"

#include <optional>
#include <string>
#include <string_view>

// A board written as text: its 64 letters in reading order, the top row from
// left to right, then the next row (column c, row r is character r * 8 + c).
namespace rules {

// The tile codes of a board text; nothing when it is not 64 letters a..z
// (either case).
std::optional<Letters> parseBoard(std::string_view text);
// The board's 64 letters in reading order, lower case; '?' where a cell holds
// no letter.
std::string formatBoard(const Letters &letters);

} // namespace rules
