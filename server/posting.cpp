#include "posting.h"

#include "servicepaths.h"

#include <algorithm>
#include <array>
#include <cstdint>
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

bool isControl(std::uint32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
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
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t codePoint = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            codePoint = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            codePoint = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            codePoint = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            codePoint = lead & 0x07;
            minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (extra > text.size() - i - 1)
            return std::nullopt;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return std::nullopt;
        if (isControl(codePoint))
            return std::nullopt;
        i += extra + 1;
        ++count;
    }
    return count;
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

PostingCheck checkPosting(std::string_view query)
{
    namespace paths = rules::servicepaths;
    std::array<Field, 3> fields{{{paths::NameKey, {}}, {paths::DateKey, {}}, {paths::ScoreKey, {}}}};

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
        if (!key || !value)
            return {{}, "The request holds a malformed %-escape."};

        Field *field = nullptr;
        for (auto &candidate : fields) {
            if (*key == candidate.key)
                field = &candidate;
        }
        if (!field)
            return {{}, "The request holds an unexpected field; only name, date and score are accepted."};
        if (field->value)
            field->repeated = true;
        field->value = *value;
    }

    for (const auto &field : fields) {
        if (!field.value)
            return {{}, std::string("The ") + field.key + " is missing."};
        if (field.repeated)
            return {{}, std::string("The ") + field.key + " is given more than once."};
    }

    Posting result;
    result.name = *fields[0].value;
    result.date = *fields[1].value;

    const auto nameLength = printableLength(result.name);
    if (!nameLength)
        return {{}, "The name is not valid UTF-8 or holds control characters."};
    if (*nameLength < 1 || *nameLength > maxNameLength)
        return {{}, "The name must be 1 to 64 characters long."};

    const auto dateLength = printableLength(result.date);
    if (!dateLength)
        return {{}, "The date is not valid UTF-8 or holds control characters."};
    if (*dateLength > maxDateLength)
        return {{}, "The date must be at most 16 characters long."};

    const auto score = parseScore(*fields[2].value);
    if (!score)
        return {{}, "The score must be a whole number from 0 to 100000, without sign or spaces."};
    result.score = *score;

    return {std::move(result), {}};
}

} // namespace posting
