#include "gamecheck.h"

#include "lettercodes.h"
#include "points.h"
#include "routesearch.h"

#include <unordered_set>

namespace gamecheck {

std::string problem(const rules::Letters &letters, const std::vector<std::string> &words, int score,
                    const rules::WordGraph &graph)
{
    std::unordered_set<std::uint32_t> seen;
    long long points = 0;
    for (const std::string &word : words) {
        const int length = static_cast<int>(word.size());
        if (length < rules::MinWord)
            return word + " is too short.";
        // Only a word of a sane length is written back.
        if (length > rules::MaxWord)
            return "A word of " + std::to_string(length) + " letters is too long.";
        const auto index = graph.find(word);
        if (!index)
            return word + " is not in the word list.";
        if (!seen.insert(*index).second)
            return word + " is posted twice.";
        std::vector<int> codes;
        codes.reserve(word.size());
        for (char c : word)
            codes.push_back(rules::letterCode(c));
        if (rules::RouteSearch(letters, codes).find().empty())
            return word + " is not on the board.";
        points += rules::pointsFor(length);
    }
    if (points != score)
        return "The score does not match the words.";
    return {};
}

} // namespace gamecheck
