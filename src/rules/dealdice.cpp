#include "dealdice.h"

#include "deal.h"

namespace rules {

namespace {

// 2^64 mod 98, the count of lowest outputs a draw refuses.
constexpr std::uint64_t RefusedBelow = (std::uint64_t(0) - std::uint64_t(ChanceCount)) % std::uint64_t(ChanceCount);

} // namespace

std::uint64_t DealDice::next()
{
    m_state += 0x9E3779B97F4A7C15u;
    std::uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

int DealDice::draw()
{
    for (;;) {
        const std::uint64_t value = next();
        if (value >= RefusedBelow)
            return 1 + int(value % std::uint64_t(ChanceCount));
    }
}

Letters dealFromSeed(Seed seed)
{
    DealDice dice(seed & SeedMask);
    return deal([&dice] { return dice.draw(); });
}

} // namespace rules
