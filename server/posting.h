#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A score as the game posts it, already checked.
struct Posting {
    std::string name;
    std::string date;
    int score = 0;
};

// What a posting claims about its game, to be checked against the ticket.
struct GameClaim {
    std::string game;               // the ticket's id, of the id alphabet
    std::vector<std::string> words; // A..Z only, none empty; not yet checked against the board
};

// Either a posting or the reason it was refused, worded for the player on one line.
struct PostingCheck {
    std::optional<Posting> posting;
    std::optional<GameClaim> claim; // set with posting when the query carried game and words
    std::string error;
    // The query named game or words: the answer is then a plain-text line for the game to show.
    bool claimsGame = false;
};

namespace posting {

constexpr std::size_t maxNameLength = 64; // code points
constexpr std::size_t maxDateLength = 16; // code points
constexpr int maxScore = 100000;
// Far more than anyone finds in one game; the request line's 8 KiB bounds it anyway.
constexpr std::size_t maxWords = 1000;

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

// The words of a decoded words= value: empty for a game with none, else items split at ','
// that are each 1 or more of A..Z, at most maxWords of them; nullopt with the reason otherwise.
struct WordsReading {
    std::optional<std::vector<std::string>> words;
    std::string error;
};
WordsReading readWords(std::string_view value);

// Checks a raw query string (the part after '?', still percent-encoded). Each of name, date and
// score must be present exactly once, and game and words both once or neither; any other key is
// refused. The name comes back trimmed of spaces at its ends; a date with bidirectional controls
// is refused like such a name.
PostingCheck checkPosting(std::string_view query);

} // namespace posting
