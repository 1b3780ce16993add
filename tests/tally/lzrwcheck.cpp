#include "lzrwcheck.h"

#include "elzrw1exception.h"
#include "tlzr.h"
#include "tlzr_reference.h"
#include "tlzrw1.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <span>
#include <vector>

namespace LzrwCheck {

namespace {

std::span<const quint8> bytes(const QByteArray &data, qsizetype from = 0, qsizetype count = -1)
{
    if (count < 0)
        count = data.size() - from;
    return {reinterpret_cast<const quint8 *>(data.constData()) + from, std::size_t(count)};
}

// Codes and decodes each 32768-byte block of data on its own.
std::string blockRoundTrip(const QByteArray &data)
{
    TLZR coder;
    std::vector<quint8> coded(TLZR::WorkBufferSize);
    std::vector<quint8> plain(TLZR::BlockSize);
    for (qsizetype from = 0; from == 0 || from < data.size(); from += qsizetype(TLZR::BlockSize)) {
        const qsizetype count = std::min(data.size() - from, qsizetype(TLZR::BlockSize));
        const std::size_t length = coder.compress(bytes(data, from, count), coded);
        if (length > std::size_t(count) + 1)
            return "a block was coded longer than its stored form";
        std::vector<quint8> before(TLZR::WorkBufferSize);
        const std::size_t beforeLength = ReferenceTLZR::compress(bytes(data, from, count), before);
        if (length != beforeLength || std::memcmp(coded.data(), before.data(), length) != 0)
            return "a block was coded otherwise than by the reference coder";
        const TLZR::Decoded back = TLZR::decompress(std::span(coded.data(), length), plain);
        if (back.error != TLZR::Error::None)
            return std::string("a coded block was refused: ") + TLZR::errorText(back.error);
        if (back.size != std::size_t(count) || std::memcmp(plain.data(), data.constData() + from, back.size) != 0)
            return "a block did not decode to what was coded";
    }
    return {};
}

} // namespace

std::string checkBlock(const QByteArray &coded)
{
    std::vector<quint8> plain(TLZR::BlockSize);
    const TLZR::Decoded decoded = TLZR::decompress(bytes(coded), plain);
    std::vector<quint8> before(TLZR::BlockSize);
    const TLZR::Decoded reference = ReferenceTLZR::decompress(bytes(coded), before);
    if (decoded.error != reference.error)
        return std::string("a block was refused otherwise than by the reference decoder: ")
            + TLZR::errorText(decoded.error) + " against " + TLZR::errorText(reference.error);
    if (decoded.size != reference.size || std::memcmp(plain.data(), before.data(), decoded.size) != 0)
        return "a block decoded otherwise than by the reference decoder";
    if (decoded.error != TLZR::Error::None) {
        if (decoded.size != 0)
            return "a refused block reported a size";
        return {};
    }
    if (decoded.size > TLZR::BlockSize)
        return "a block decoded past 32768 bytes";
    if (std::size_t(coded.size()) > TLZR::MaxCodedSize)
        return "a block longer than 32769 bytes was accepted";
    return blockRoundTrip(QByteArray(reinterpret_cast<const char *>(plain.data()), qsizetype(decoded.size)));
}

std::string checkContainer(const QByteArray &container)
{
    QByteArray data;
    try {
        data = Tlzrw1::decompress(container, QStringLiteral("input"));
    } catch (const ELzrw1Exception &e) {
        if (e.message().isEmpty())
            return "a failure without a message";
        return {};
    } catch (const std::exception &e) {
        return std::string("a failure of the wrong kind: ") + e.what();
    }
    if (container.size() < 8)
        return "a container without a whole header was accepted";
    quint32 stored = 0;
    for (int i = 3; i >= 0; --i)
        stored = (stored << 8) | quint8(container[4 + i]);
    if (quint64(data.size()) != stored)
        return "a container unpacked to another size than it stores";
    return checkRoundTrip(data);
}

std::string checkRoundTrip(const QByteArray &data)
{
    if (std::string broken = blockRoundTrip(data); !broken.empty())
        return broken;
    try {
        if (Tlzrw1::decompress(Tlzrw1::compress(data), QStringLiteral("packed")) != data)
            return "a packed text did not unpack to itself";
    } catch (const std::exception &e) {
        return std::string("a packed text failed to unpack: ") + e.what();
    }
    return {};
}

std::string checkAll(const QByteArray &input)
{
    for (auto check : {checkBlock, checkContainer, checkRoundTrip}) {
        if (std::string broken = check(input); !broken.empty())
            return broken;
    }
    return {};
}

} // namespace LzrwCheck
