#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The word list's records: 15 bytes each, the mark 0x1E, then the word in
// upper case padded with spaces to 14 bytes, in ascending byte order of that
// field. A trailing partial record is not part of the list.
namespace rules {

constexpr std::size_t RecordSize = 15;
constexpr char RecordMark = 0x1E;
constexpr std::size_t FieldOffset = 1;
constexpr std::size_t FieldWidth = RecordSize - FieldOffset;
constexpr std::size_t KeyWidth = 15;

// NUL becomes space, leading and trailing spaces go, the rest is padded with
// spaces to KeyWidth and a..z is upper-cased; nothing else changes. Never
// cuts: a text longer than KeyWidth stays longer, so it equals no record.
// Used on keys and on record fields alike.
std::string normalizeKey(std::string_view text);
// The normalised field of a record.
std::string recordKey(std::string_view record);

// Position of the last whole record in a list of that many bytes (-1 when
// there is none), capped to what a 32-bit position can name.
std::int32_t lastRecordPosition(std::int64_t bytes);

// Gives the record at a position, or nothing when it is not there in full.
// The view must stay valid until the next call.
using RecordReader = std::function<std::optional<std::string_view>(std::int32_t position)>;

// Position of the first record equal to the normalised key, or -1 when there
// is none, the key is blank, or a record cannot be read. A binary search over
// positions 0..lastPosition; on a match it walks back over a run of equal
// fields (words cut to 14 letters), so the record read last is the one found.
std::int32_t findRecord(std::int32_t lastPosition, std::string_view key, const RecordReader &read);
// The same over a list held in memory.
std::int32_t findRecord(std::string_view records, std::string_view key);

} // namespace rules
