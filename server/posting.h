#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A score as the game posts it, already checked.
struct Posting {
    std::string name;
    std::string date;
    int score = 0;
};

// Either a posting or the reason it was refused, worded for the player.
struct PostingCheck {
    std::optional<Posting> posting;
    std::string error;
};

namespace posting {

constexpr std::size_t maxNameLength = 64; // code points
constexpr std::size_t maxDateLength = 16; // code points
constexpr int maxScore = 100000;

// Decodes %XX escapes. A raw '+' stays a '+': the game sends a space as %20 and a plus as %2B,
// so reading '+' as a space would silently change names. Malformed escapes give nullopt.
std::optional<std::string> percentDecode(std::string_view text);

// Number of code points, or nullopt when the text is not valid UTF-8 (overlong forms, surrogates
// and values past U+10FFFF included) or holds a control character (C0, DEL or C1).
std::optional<std::size_t> printableLength(std::string_view text);

// Why a decoded name cannot be posted, worded for the player; empty when it can. Refused:
// bad UTF-8 and controls, bidirectional controls anywhere, a name that is empty once the spaces
// at its ends are trimmed or shows nothing (U+200B alone), and more than maxNameLength code
// points once trimmed.
std::string nameProblem(std::string_view name);

// Digits only, no sign, no spaces, 0..maxScore.
std::optional<int> parseScore(std::string_view text);

// Checks a raw query string (the part after '?', still percent-encoded). Each of name, date and
// score must be present exactly once; any other key is refused. The name comes back trimmed of
// spaces at its ends; a date with bidirectional controls is refused like such a name.
PostingCheck checkPosting(std::string_view query);

} // namespace posting
