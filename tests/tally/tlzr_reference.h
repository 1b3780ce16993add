#pragma once

#include "tlzr.h"

#include <QtGlobal>

#include <cstddef>
#include <span>

// The block coder in its plain form, byte by byte with every check on every
// item, kept apart from TLZR so that the tests can hold a faster TLZR to
// exactly its coded bytes, decoded sizes and bytes, and errors.
namespace ReferenceTLZR {

// Same contract as TLZR::compress.
std::size_t compress(std::span<const quint8> block, std::span<quint8> coded);

// Same contract as TLZR::decompress.
TLZR::Decoded decompress(std::span<const quint8> coded, std::span<quint8> out);

} // namespace ReferenceTLZR
