#pragma once

#include "board.h"

#include <QString>

#include <functional>
#include <optional>

// A board written as text: its 64 letters in reading order, the top row from
// left to right, then the next row (column c, row r is character r * 8 + c).
namespace BoardText {

using Letters = rules::Letters; // column * 8 + row

// The tile codes of a board text; nothing when it is not 64 letters a..z
// (either case).
std::optional<Letters> parse(const QString &text);

// Draws for the deal that lay out exactly these letters, then again from the
// first cell.
std::function<int()> draws(const Letters &letters);

} // namespace BoardText
