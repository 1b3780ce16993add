#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <span>

// The LZRW1/KH block coder: codes one block of at most 32768 bytes and
// decodes one coded block, over caller-owned buffers, with no I/O.
//
// A coded block starts with a flag byte: StoredFlag and the data unchanged,
// or CompressedFlag and groups of a big-endian 16-bit control word (bit set:
// reference, clear: literal, most significant first) followed by up to 16
// items. A copy reference is offset*16 + (length-3) in two bytes; a run
// reference is 00 hh ll vv, the byte vv (hh*256 + ll) + 16 times.
//
// The object owns the coder's hash table, so one object serves any number of
// blocks without allocating; it is not meant to be shared between threads.
class TLZR
{
public:
    static constexpr std::size_t BlockSize = 32768;
    // The stored form of a full block.
    static constexpr std::size_t MaxCodedSize = BlockSize + 1;
    // The coder writes a few bytes past the input's size before it notices
    // that coding does not pay, so its output buffer needs this much room
    // beyond the input's size.
    static constexpr std::size_t Spare = 16;
    static constexpr std::size_t WorkBufferSize = BlockSize + Spare;

    static constexpr quint8 StoredFlag = 0x80;
    static constexpr quint8 CompressedFlag = 0x40;

    // Why a coded block was refused; each one breaks a limit that every
    // block from compress() keeps.
    enum class Error {
        None,
        CodedTooLong,    // more than MaxCodedSize coded bytes
        OutputTooLong,   // decodes to more than BlockSize bytes
        CopyBeforeStart, // a copy reaches back before the block's first byte
        CutOff,          // a control word or an item runs past the block's end
    };

    struct Decoded {
        std::size_t size = 0;
        Error error = Error::None;
    };

    TLZR();

    // Codes block (at most BlockSize bytes) into coded, which must hold at
    // least block.size() + Spare bytes; returns the coded length, at most
    // block.size() + 1. Throws std::invalid_argument when a size is broken.
    std::size_t compress(std::span<const quint8> block, std::span<quint8> coded);

    // Decodes one coded block into out, which must hold at least BlockSize
    // bytes (else std::invalid_argument). Whatever coded holds, reads stay
    // inside coded and writes inside the first BlockSize bytes of out; a
    // block that breaks a limit yields an error and a size of 0, with out
    // partly written. Only the first size bytes of out are the block's:
    // wide moves may also have written a few bytes after them.
    static Decoded decompress(std::span<const quint8> coded, std::span<quint8> out);

    static const char *errorText(Error error);

private:
    // Position of the last item start seen with each hash; -1 is none.
    std::array<qint16, 4096> m_table;
};
