#pragma once

#include "wordgraph.h"

namespace rules {

// The built-in list's words of MinWord to MaxWord letters as a word graph,
// with their frequency ranks; made from data/words.txt and
// data/word-frequency.txt when the program is built.
const WordGraph &builtInWords();

} // namespace rules
