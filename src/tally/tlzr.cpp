#include "tlzr.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::size_t MinRun = 16;
constexpr std::size_t MaxRun = 4095;
constexpr std::size_t MinMatch = 3;
constexpr std::size_t MaxMatch = 18;
constexpr std::size_t MaxOffset = 4095;
constexpr int GroupItems = 16;
constexpr quint32 HashFactor = 40543;
constexpr quint32 HashMask = 0x0FFF;

// The decoder takes a whole group without per-item checks when this much
// input is left: 16 items of at most 4 bytes, and a 16-byte read of literals
// that starts at the last of them.
constexpr std::size_t GroupInput = GroupItems * 4 + 16;
// ... and this much room in the output: 16 copies of at most 18 bytes, and
// a 16-byte write of literals (or a copy's last 8-byte move) past them.
constexpr std::size_t GroupOutput = GroupItems * MaxMatch + 16;

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

quint64 load64(const quint8 *at)
{
    quint64 word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// How many leading bytes, in memory order, two loaded words share: 0 to 8.
std::size_t sameBytes(quint64 a, quint64 b)
{
    const quint64 difference = a ^ b;
    if (difference == 0)
        return 8;
    if constexpr (std::endian::native == std::endian::little)
        return std::size_t(std::countr_zero(difference)) >> 3;
    else
        return std::size_t(std::countl_zero(difference)) >> 3;
}

// The run length from at, given that at[0..15] are equal and pattern holds
// at[0..7]; counts no further than limit.
std::size_t runLength(const quint8 *at, std::size_t limit, quint64 pattern)
{
    std::size_t run = MinRun;
    while (limit - run >= 8) {
        const std::size_t same = sameBytes(load64(at + run), pattern);
        run += same;
        if (same < 8)
            return run;
    }
    while (run < limit && at[run] == at[0])
        ++run;
    return run;
}

// The common prefix of the bytes from p and from x, at most 18; reads 24
// bytes from each.
std::size_t wideMatchLength(const quint8 *p, const quint8 *x)
{
    std::size_t match = sameBytes(load64(p), load64(x));
    if (match == 8) {
        match += sameBytes(load64(p + 8), load64(x + 8));
        if (match == 16)
            match += sameBytes(load64(p + 16), load64(x + 16));
    }
    return std::min(match, MaxMatch);
}

void putRun(quint8 *at, std::size_t run, quint8 value)
{
    const std::size_t extra = run - MinRun;
    at[0] = 0;
    at[1] = quint8(extra >> 8);
    at[2] = quint8(extra & 0xFF);
    at[3] = value;
}

} // namespace

TLZR::TLZR()
{
    m_table.fill(-1);
}

std::size_t TLZR::compress(std::span<const quint8> block, std::span<quint8> coded)
{
    const std::size_t n = block.size();
    if (n > BlockSize)
        throw std::invalid_argument("TLZR::compress: block longer than 32768 bytes");
    if (coded.size() < n + Spare)
        throw std::invalid_argument("TLZR::compress: output buffer too small");

    // Every block starts with an empty history.
    m_table.fill(-1);

    const quint8 *b = block.data();
    quint8 *out = coded.data();
    out[0] = CompressedFlag;

    std::size_t x = 0;
    std::size_t y = 3;
    std::size_t z = 1;
    int k = 0;
    quint16 control = 0;

    // Before wideEnd, 24 bytes lie ahead of x: the run and match tests read
    // whole words with no check on the block's end.
    const std::size_t wideEnd = n > 24 ? n - 24 : 0;

    // y <= n keeps the writes of one pass (a control word and a 4-byte item)
    // within n + 6 bytes, inside the Spare room.
    while (x < n && y <= n) {
        if (k == GroupItems) {
            putWord(out + z, control);
            z = y;
            y += 2;
            k = 0;
        }
        ++k;

        const quint8 value = b[x];
        if (x < wideEnd) {
            // A run item needs 16 equal bytes: one look at 16 bytes settles
            // it, and only a run is counted on.
            const quint64 head = load64(b + x);
            if (head == load64(b + x + 8) && head == std::rotl(head, 8)) {
                const std::size_t run = runLength(b + x, std::min(n - x, MaxRun), head);
                putRun(out + y, run, value);
                y += 4;
                x += run;
                control = quint16((control << 1) | 1);
                continue;
            }
            qint16 &entry = m_table[hashAt(b + x)];
            const qint16 previous = entry;
            entry = qint16(x);
            // The match is measured before the offset is judged, and an
            // empty entry compares x with itself: one hard-to-guess branch
            // per byte instead of two.
            const std::size_t p = previous == -1 ? x : std::size_t(previous);
            const std::size_t match = wideMatchLength(b + p, b + x);
            if ((x - p - 1 < MaxOffset) & (match >= MinMatch)) {
                putWord(out + y, quint16((x - p) * 16 + (match - MinMatch)));
                y += 2;
                x += match;
                control = quint16((control << 1) | 1);
                continue;
            }
        } else {
            // The block's last bytes, tested byte by byte so that no read
            // leaves the block.
            const std::size_t runLimit = std::min(n - x, MaxRun);
            std::size_t run = 1;
            while (run < runLimit && b[x + run] == value)
                ++run;
            if (run >= MinRun) {
                putRun(out + y, run, value);
                y += 4;
                x += run;
                control = quint16((control << 1) | 1);
                continue;
            }
            if (x + 2 < n) {
                qint16 &entry = m_table[hashAt(b + x)];
                const qint16 previous = entry;
                entry = qint16(x);
                if (previous != -1 && x - std::size_t(previous) <= MaxOffset) {
                    const std::size_t p = std::size_t(previous);
                    const std::size_t matchLimit = std::min(n - x, MaxMatch);
                    std::size_t match = 0;
                    while (match < matchLimit && b[p + match] == b[x + match])
                        ++match;
                    if (match >= MinMatch) {
                        putWord(out + y, quint16((x - p) * 16 + (match - MinMatch)));
                        y += 2;
                        x += match;
                        control = quint16((control << 1) | 1);
                        continue;
                    }
                }
            }
        }
        out[y] = value;
        y += 1;
        x += 1;
        control = quint16(control << 1);
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

TLZR::Decoded TLZR::decompress(std::span<const quint8> coded, std::span<quint8> out)
{
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

        if (bitsLeft == GroupItems && length - x >= GroupInput && BlockSize - y >= GroupOutput) {
            // The whole group lies inside the input and, but for runs, fits
            // the output with its wide moves: only a copy's offset and a
            // run's length can break a limit here, each checked as item by
            // item below. A stop bit after the 16th item ends the last
            // stretch of literals.
            quint32 bits = (quint32(control) << 16) | 0x8000u;
            int items = GroupItems;
            for (;;) {
                const int literals = std::countl_zero(bits);
                std::memcpy(dest + y, in + x, 16);
                x += std::size_t(literals);
                y += std::size_t(literals);
                bits <<= literals;
                items -= literals;
                if (items == 0)
                    break;

                const std::size_t offset = (std::size_t(in[x]) << 4) | (in[x + 1] >> 4);
                const std::size_t low = in[x + 1] & 0x0F;
                bits <<= 1;
                --items;
                if (offset == 0) {
                    const std::size_t count = ((low << 8) | in[x + 2]) + MinRun;
                    if (count > BlockSize - y)
                        return {0, Error::OutputTooLong};
                    std::memset(dest + y, in[x + 3], count);
                    y += count;
                    x += 4;
                    // A long run may leave too little room for the rest of
                    // the group: that goes item by item.
                    if (BlockSize - y < GroupOutput)
                        break;
                } else {
                    if (offset > y)
                        return {0, Error::CopyBeforeStart};
                    const std::size_t count = low + MinMatch;
                    quint8 *to = dest + y;
                    const quint8 *from = to - offset;
                    if (offset >= 8) {
                        // Each 8-byte move reads only bytes already written.
                        std::memcpy(to, from, 8);
                        std::memcpy(to + 8, from + 8, 8);
                        if (count > 16)
                            std::memcpy(to + 16, from + 16, 8);
                    } else {
                        for (std::size_t i = 0; i < count; ++i)
                            to[i] = from[i];
                    }
                    y += count;
                    x += 2;
                }
                if (items == 0)
                    break;
            }
            control = quint16(bits >> 16);
            bitsLeft = items;
            continue;
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

const char *TLZR::errorText(Error error)
{
    switch (error) {
    case Error::None:
        return "no error";
    case Error::CodedTooLong:
        return "coded block longer than 32769 bytes";
    case Error::OutputTooLong:
        return "block decodes to more than 32768 bytes";
    case Error::CopyBeforeStart:
        return "copy from before the start of the block";
    case Error::CutOff:
        return "block ends inside a control word or an item";
    }
    return "unknown error";
}
