#include "tickets.h"

#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace tickets {
namespace {

constexpr std::string_view idAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr std::size_t idBytes = 24; // a multiple of 3: base64 without padding

template<std::size_t N>
std::array<unsigned char, N> randomBytes()
{
    std::array<unsigned char, N> bytes{};
    if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1)
        throw std::runtime_error("the system's random generator failed");
    return bytes;
}

} // namespace

std::string newGameId()
{
    const auto bytes = randomBytes<idBytes>();
    std::string id;
    id.reserve(idBytes / 3 * 4);
    for (std::size_t i = 0; i < idBytes; i += 3) {
        const unsigned group = (unsigned(bytes[i]) << 16) | (unsigned(bytes[i + 1]) << 8) | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
            id += idAlphabet[(group >> shift) & 0x3F];
    }
    return id;
}

rules::Seed randomSeed()
{
    rules::Seed seed = 0;
    for (unsigned char byte : randomBytes<8>())
        seed = (seed << 8) | byte;
    return seed & rules::SeedMask;
}

bool isGameId(std::string_view text)
{
    return text.size() >= minIdLength && text.size() <= maxIdLength
           && std::all_of(text.begin(), text.end(), [](char c) { return idAlphabet.find(c) != std::string_view::npos; });
}

} // namespace tickets
