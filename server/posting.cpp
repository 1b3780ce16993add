#include "posting.h"

#include "servicepaths.h"
#include "tickets.h"
#include "unicodetext.h"

#include <algorithm>
#include <array>
#include <utility>

namespace posting {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct Field {
    const char *key;
    std::optional<std::string> value;
    bool repeated = false;
};

} // namespace

std::optional<std::string> percentDecode(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

std::optional<std::size_t> printableLength(std::string_view text)
{
    const auto codePoints = unicodetext::decode(text);
    if (!codePoints || std::any_of(codePoints->begin(), codePoints->end(), unicodetext::isControl))
        return std::nullopt;
    return codePoints->size();
}

std::string nameProblem(std::string_view name)
{
    const auto codePoints = unicodetext::decode(name);
    if (!codePoints || std::any_of(codePoints->begin(), codePoints->end(), unicodetext::isControl))
        return "The name is not valid UTF-8 or holds control characters.";
    if (std::any_of(codePoints->begin(), codePoints->end(), unicodetext::isBidiControl))
        return "The name holds characters that change the direction of the text (such as U+202E), which can make it read as another name.";
    const std::string_view trimmed = unicodetext::trimSpaces(name);
    if (trimmed.empty())
        return "The name is empty or only spaces; it must be 1 to 64 characters long.";
    const auto blank = [](char32_t c) { return unicodetext::isSpace(c) || unicodetext::isInvisible(c); };
    if (std::all_of(codePoints->begin(), codePoints->end(), blank))
        return "The name holds only invisible characters; it must show at least one.";
    if (unicodetext::decode(trimmed)->size() > maxNameLength)
        return "The name must be 1 to 64 characters long.";
    return {};
}

std::optional<int> parseScore(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        // Stop before overflow; leading zeros still pass.
        if (value > maxScore)
            return std::nullopt;
    }
    return value;
}

WordsReading readWords(std::string_view value)
{
    std::vector<std::string> words;
    if (value.empty())
        return {std::move(words), {}};
    // Counted before splitting, so a flood of commas costs no allocations.
    if (static_cast<std::size_t>(std::count(value.begin(), value.end(), ',')) >= maxWords)
        return {{}, "A game has at most " + std::to_string(maxWords) + " words."};
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t end = std::min(value.find(',', start), value.size());
        const std::string_view word = value.substr(start, end - start);
        start = end + 1;
        if (word.empty())
            return {{}, "The words hold an empty word."};
        if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
            return {{}, "Words must be written in the capital letters A to Z."};
        words.emplace_back(word);
    }
    return {std::move(words), {}};
}

PostingCheck checkPosting(std::string_view query)
{
    namespace paths = rules::servicepaths;
    enum { Name, Date, Score, Game, Words };
    std::array<Field, 5> fields{{{paths::NameKey, {}},
                                 {paths::DateKey, {}},
                                 {paths::ScoreKey, {}},
                                 {paths::GameKey, {}},
                                 {paths::WordsKey, {}}}};
    static_assert(Words == 4);

    PostingCheck check;
    const auto refuse = [&check](std::string error) {
        check.error = std::move(error);
        return check;
    };

    std::size_t start = 0;
    while (start <= query.size()) {
        const std::size_t end = std::min(query.find('&', start), query.size());
        const std::string_view pair = query.substr(start, end - start);
        start = end + 1;
        if (pair.empty())
            continue;

        const std::size_t equals = pair.find('=');
        const auto key = percentDecode(pair.substr(0, equals));
        const auto value = percentDecode(equals == std::string_view::npos ? std::string_view{} : pair.substr(equals + 1));
        if (key && (*key == paths::GameKey || *key == paths::WordsKey))
            check.claimsGame = true;
        if (!key || !value)
            return refuse("The request holds a malformed %-escape.");

        Field *field = nullptr;
        for (auto &candidate : fields) {
            if (*key == candidate.key)
                field = &candidate;
        }
        if (!field)
            return refuse("The request holds an unexpected field; only name, date, score, game and words are accepted.");
        if (field->value)
            field->repeated = true;
        field->value = *value;
    }

    for (const auto &field : fields) {
        if (field.repeated)
            return refuse(std::string("The ") + field.key + (field.key == paths::WordsKey ? " are" : " is")
                          + " given more than once.");
    }
    for (int required : {Name, Date, Score}) {
        if (!fields[required].value)
            return refuse(std::string("The ") + fields[required].key + " is missing.");
    }
    if (fields[Game].value && !fields[Words].value)
        return refuse("The words of the game are missing.");
    if (fields[Words].value && !fields[Game].value)
        return refuse("The game is missing.");

    Posting result;
    const std::string problem = nameProblem(*fields[Name].value);
    if (!problem.empty())
        return refuse(problem);
    result.name = std::string(unicodetext::trimSpaces(*fields[Name].value));
    result.date = *fields[Date].value;

    const auto dateLength = printableLength(result.date);
    if (!dateLength)
        return refuse("The date is not valid UTF-8 or holds control characters.");
    if (*dateLength > maxDateLength)
        return refuse("The date must be at most 16 characters long.");
    const auto date = unicodetext::decode(result.date);
    if (std::any_of(date->begin(), date->end(), unicodetext::isBidiControl))
        return refuse("The date holds characters that change the direction of the text.");

    const auto score = parseScore(*fields[Score].value);
    if (!score)
        return refuse("The score must be a whole number from 0 to 100000, without sign or spaces.");
    result.score = *score;

    if (fields[Game].value) {
        if (!tickets::isGameId(*fields[Game].value))
            return refuse("The game id is malformed.");
        WordsReading words = readWords(*fields[Words].value);
        if (!words.words)
            return refuse(words.error);
        check.claim = GameClaim{*fields[Game].value, std::move(*words.words)};
    }

    check.posting = std::move(result);
    return check;
}

} // namespace posting
