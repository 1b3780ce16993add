#pragma once

#include "tlzr.h"

#include <QByteArray>

#include <vector>

// A tally container of `blocks` full blocks of zeros and the empty last
// block: 42 bytes a block, each unpacking to 32768.
inline QByteArray zeroBlocks(int blocks)
{
    std::vector<quint8> zeros(TLZR::BlockSize), coded(TLZR::WorkBufferSize);
    const std::size_t length = TLZR().compress(zeros, coded);
    QByteArray block(2, '\0');
    block[0] = char(length & 0xFF);
    block[1] = char(length >> 8);
    block.append(reinterpret_cast<const char *>(coded.data()), qsizetype(length));
    const quint32 size = quint32(blocks) * TLZR::BlockSize;
    QByteArray container("WRZL");
    for (int i = 0; i < 4; ++i)
        container.append(char((size >> (8 * i)) & 0xFF));
    return container + block.repeated(blocks) + QByteArray("\x01\x00\x80", 3);
}
