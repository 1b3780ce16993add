#include "tlzr_reference.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace ReferenceTLZR {

namespace {

constexpr std::size_t MinRun = 16;
constexpr std::size_t MaxRun = 4095;
constexpr std::size_t MinMatch = 3;
constexpr std::size_t MaxMatch = 18;
constexpr std::size_t MaxOffset = 4095;
constexpr int GroupItems = 16;
constexpr quint32 HashFactor = 40543;
constexpr quint32 HashMask = 0x0FFF;

// Needs b[0..2]: the caller keeps off the last two positions of a block,
// where no match can start anyway, so the output is the same as a coder
// that hashes whatever lies past the block's end.
quint32 hashAt(const quint8 *b)
{
    const quint32 key = (quint32(b[0]) << 8) ^ (quint32(b[1]) << 4) ^ quint32(b[2]);
    return ((HashFactor * key) >> 4) & HashMask;
}

void putWord(quint8 *at, quint16 word)
{
    at[0] = quint8(word >> 8);
    at[1] = quint8(word & 0xFF);
}

} // namespace

std::size_t compress(std::span<const quint8> block, std::span<quint8> coded)
{
    constexpr auto BlockSize = TLZR::BlockSize;
    constexpr auto CompressedFlag = TLZR::CompressedFlag;
    constexpr auto Spare = TLZR::Spare;
    constexpr auto StoredFlag = TLZR::StoredFlag;
    std::array<qint16, 4096> table;

    const std::size_t n = block.size();
    if (n > BlockSize)
        throw std::invalid_argument("TLZR::compress: block longer than 32768 bytes");
    if (coded.size() < n + Spare)
        throw std::invalid_argument("TLZR::compress: output buffer too small");

    // Every block starts with an empty history.
    table.fill(-1);

    const quint8 *b = block.data();
    quint8 *out = coded.data();
    out[0] = CompressedFlag;

    std::size_t x = 0;
    std::size_t y = 3;
    std::size_t z = 1;
    int k = 0;
    quint16 control = 0;

    // y <= n keeps the writes of one pass (a control word and a 4-byte item)
    // within n + 6 bytes, inside the Spare room.
    while (x < n && y <= n) {
        if (k == GroupItems) {
            putWord(out + z, control);
            z = y;
            y += 2;
            k = 0;
        }

        const quint8 value = b[x];
        const std::size_t runLimit = std::min(n - x, MaxRun);
        std::size_t run = 1;
        while (run < runLimit && b[x + run] == value)
            ++run;

        if (run >= MinRun) {
            const std::size_t extra = run - MinRun;
            out[y] = 0;
            out[y + 1] = quint8(extra >> 8);
            out[y + 2] = quint8(extra & 0xFF);
            out[y + 3] = value;
            y += 4;
            x += run;
            control = quint16((control << 1) | 1);
        } else {
            std::size_t match = 0;
            std::size_t offset = 0;
            if (x + 2 < n) {
                qint16 &entry = table[hashAt(b + x)];
                const qint16 previous = entry;
                entry = qint16(x);
                if (previous != -1 && x - std::size_t(previous) <= MaxOffset) {
                    const std::size_t p = std::size_t(previous);
                    const std::size_t matchLimit = std::min(n - x, MaxMatch);
                    while (match < matchLimit && b[p + match] == b[x + match])
                        ++match;
                    offset = x - p;
                }
            }
            if (match >= MinMatch) {
                putWord(out + y, quint16(offset * 16 + (match - MinMatch)));
                y += 2;
                x += match;
                control = quint16((control << 1) | 1);
            } else {
                out[y] = value;
                y += 1;
                x += 1;
                control = quint16(control << 1);
            }
        }
        ++k;
    }
    putWord(out + z, quint16(control << (GroupItems - k)));

    if (y > n) {
        out[0] = StoredFlag;
        if (n > 0)
            std::memcpy(out + 1, b, n);
        return n + 1;
    }
    return y;
}

TLZR::Decoded decompress(std::span<const quint8> coded, std::span<quint8> out)
{
    constexpr auto BlockSize = TLZR::BlockSize;
    constexpr auto MaxCodedSize = TLZR::MaxCodedSize;
    constexpr auto StoredFlag = TLZR::StoredFlag;
    using Error = TLZR::Error;

    if (out.size() < BlockSize)
        throw std::invalid_argument("TLZR::decompress: output buffer too small");

    const std::size_t length = coded.size();
    if (length > MaxCodedSize)
        return {0, Error::CodedTooLong};
    if (length <= 1)
        return {};

    const quint8 *in = coded.data();
    quint8 *dest = out.data();
    if (in[0] == StoredFlag) {
        std::memcpy(dest, in + 1, length - 1);
        return {length - 1, Error::None};
    }

    // Any other flag means compressed.
    if (length < 3)
        return {0, Error::CutOff};
    quint16 control = quint16((in[1] << 8) | in[2]);
    int bitsLeft = GroupItems;
    std::size_t x = 3;
    std::size_t y = 0;
    while (x < length) {
        if (bitsLeft == 0) {
            // A control word must be whole and followed by an item.
            if (length - x < 3)
                return {0, Error::CutOff};
            control = quint16((in[x] << 8) | in[x + 1]);
            x += 2;
            bitsLeft = GroupItems;
        }

        if ((control & 0x8000) == 0) {
            if (y == BlockSize)
                return {0, Error::OutputTooLong};
            dest[y++] = in[x++];
        } else {
            if (length - x < 2)
                return {0, Error::CutOff};
            const std::size_t offset = (std::size_t(in[x]) << 4) | (in[x + 1] >> 4);
            const std::size_t low = in[x + 1] & 0x0F;
            if (offset == 0) {
                if (length - x < 4)
                    return {0, Error::CutOff};
                const std::size_t count = ((low << 8) | in[x + 2]) + MinRun;
                if (count > BlockSize - y)
                    return {0, Error::OutputTooLong};
                std::memset(dest + y, in[x + 3], count);
                y += count;
                x += 4;
            } else {
                const std::size_t count = low + MinMatch;
                if (offset > y)
                    return {0, Error::CopyBeforeStart};
                if (count > BlockSize - y)
                    return {0, Error::OutputTooLong};
                if (offset >= count) {
                    std::memcpy(dest + y, dest + y - offset, count);
                    y += count;
                } else {
                    // Byte by byte: the copy overlaps the bytes it produces.
                    for (std::size_t i = 0; i < count; ++i, ++y)
                        dest[y] = dest[y - offset];
                }
                x += 2;
            }
        }
        control = quint16(control << 1);
        --bitsLeft;
    }
    return {y, Error::None};
}

} // namespace ReferenceTLZR
