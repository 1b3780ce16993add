#include "recordsearch.h"

#include <algorithm>
#include <limits>

namespace rules {

namespace {

constexpr char Space = ' ';

bool isBlank(std::string_view key)
{
    return std::all_of(key.begin(), key.end(), [](char c) { return c == Space; });
}

} // namespace

std::string normalizeKey(std::string_view text)
{
    std::string key(text);
    std::replace(key.begin(), key.end(), '\0', Space);

    // Spaces only: a tab or any other byte is part of the key.
    const std::size_t begin = key.find_first_not_of(Space);
    if (begin == std::string::npos)
        key.clear();
    else
        key = key.substr(begin, key.find_last_not_of(Space) - begin + 1);

    if (key.size() < KeyWidth)
        key.append(KeyWidth - key.size(), Space);
    for (char &c : key) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return key;
}

std::string recordKey(std::string_view record)
{
    return normalizeKey(record.substr(std::min(FieldOffset, record.size()), FieldWidth));
}

std::int32_t lastRecordPosition(std::int64_t bytes)
{
    const std::int64_t records = std::max<std::int64_t>(bytes, 0) / std::int64_t(RecordSize);
    return std::int32_t(std::min<std::int64_t>(records, std::numeric_limits<std::int32_t>::max()) - 1);
}

std::int32_t findRecord(std::int32_t lastPosition, std::string_view key, const RecordReader &read)
{
    // All spaces once normalised means nothing was left after trimming.
    const std::string wanted = normalizeKey(key);
    if (isBlank(wanted))
        return -1;

    std::int32_t low = 0;
    std::int32_t high = lastPosition;
    while (high >= low) {
        const std::int32_t mid = low + (high - low) / 2;
        const std::optional<std::string_view> record = read(mid);
        if (!record)
            return -1;
        const std::string text = recordKey(*record);
        if (text == wanted) {
            for (std::int32_t position = mid; position >= 0; --position) {
                const std::optional<std::string_view> earlier = read(position);
                if (!earlier)
                    return -1;
                if (recordKey(*earlier) != wanted)
                    return read(position + 1) ? position + 1 : -1;
            }
            return 0;
        }
        if (text < wanted)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return -1;
}

std::int32_t findRecord(std::string_view records, std::string_view key)
{
    return findRecord(lastRecordPosition(std::int64_t(records.size())), key,
                      [records](std::int32_t position) -> std::optional<std::string_view> {
                          return records.substr(std::size_t(position) * RecordSize, RecordSize);
                      });
}

} // namespace rules
