#pragma once

#include "geometry.h"
#include "wordgraph.h"

#include <string>
#include <vector>

// The replay of a posted game against the board of its ticket.
namespace gamecheck {

// Why the words and score cannot be a game played on `letters`, as one line for the player, or
// empty when they can. The words (A..Z only, as posting::readWords gives them) are taken in the
// order posted, and the first that fails is named: too short or too long, posted twice, not in
// `graph`, not on the board (touching cells, none twice). Then the score must be exactly the sum
// of the words' points.
std::string problem(const rules::Letters &letters, const std::vector<std::string> &words, int score,
                    const rules::WordGraph &graph);

} // namespace gamecheck
