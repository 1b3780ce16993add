#include "routesearch.h"

#include "lettercodes.h"

#include <bit>
#include <limits>

namespace rules {

namespace {

using Mask = std::uint64_t;

// Bit column * 8 + row: one column is one byte, so moving a column is a
// shift by 8 and moving a row a shift by 1 that must not wrap between columns.
constexpr Mask NotTopRow = ~Mask(0x0101010101010101);
constexpr Mask NotBottomRow = ~Mask(0x8080808080808080);

// Every cell that touches a cell of the mask (a cell does not touch itself).
constexpr Mask spread(Mask m)
{
    const Mask vertical = ((m << 1) & NotTopRow) | ((m >> 1) & NotBottomRow);
    return vertical | (vertical << 8) | (vertical >> 8) | (m << 8) | (m >> 8);
}

constexpr Mask touching(int cell)
{
    return spread(Mask(1) << cell);
}

// Nodes a search may visit before the cells that can start the rest of the
// word are worked out; enough for nearly every word typed in a game.
constexpr std::uint64_t QuickSearchBudget = 2000;

// The dead-end table starts small and doubles while it is at most half full,
// up to a bound past which nothing more is remembered, so memory stays
// bounded (16 bytes a slot).
constexpr std::size_t FirstDeadEndSlots = 1 << 10;
constexpr std::size_t MaxDeadEndSlots = 1 << 21;

constexpr std::array<Mask, 64> neighbours = [] {
    std::array<Mask, 64> table{};
    for (int cell = 0; cell < 64; ++cell)
        table[cell] = touching(cell);
    return table;
}();

} // namespace

RouteSearch::RouteSearch(const Letters &letters, const std::vector<int> &word)
    : m_word(word)
{
    // The per-position tables hold MaxWord entries; a longer word is refused
    // here, as an empty one, rather than searched.
    if (m_word.size() > std::size_t(MaxWord))
        m_word.clear();
    for (int cell = 0; cell < 64; ++cell) {
        if (isLetter(letters[cell]))
            m_letterMask[letters[cell]] |= Mask(1) << cell;
    }
    for (int &code : m_word) {
        if (!isLetter(code))
            code = 0; // matches no cell
    }
    // Positions wanting the same letter form a group; how many cells each
    // group still needs from every position on.
    const int length = int(m_word.size());
    m_group.assign(length, 0);
    for (int p = 0; p < length; ++p) {
        int group = 0;
        while (group < m_groups && m_word[m_groupLetter[group]] != m_word[p])
            ++group;
        if (group == m_groups)
            m_groupLetter[m_groups++] = p;
        m_group[p] = group;
    }
    m_needed.assign(length, {});
    for (int from = 0; from < length; ++from)
        for (int p = from; p < length; ++p)
            ++m_needed[from][m_group[p]];
}

std::size_t RouteSearch::slotOf(int place, Mask used, std::size_t mask)
{
    std::uint64_t h = (used ^ std::uint64_t(place) * 0xC2B2AE3D27D4EB4Full) * 0x9E3779B97F4A7C15ull;
    return std::size_t(h >> 32) & mask;
}

bool RouteSearch::isDeadEnd(int place, Mask used) const
{
    const std::size_t mask = m_deadEnds.size() - 1;
    for (std::size_t slot = slotOf(place, used, mask);; slot = (slot + 1) & mask) {
        const DeadEnd &entry = m_deadEnds[slot];
        if (entry.place < 0)
            return false;
        if (entry.place == place && entry.used == used)
            return true;
    }
}

void RouteSearch::addDeadEnd(int place, Mask used)
{
    if (2 * (m_deadEndCount + 1) > m_deadEnds.size()) {
        if (m_deadEnds.size() >= MaxDeadEndSlots)
            return;
        std::vector<DeadEnd> old(m_deadEnds.size() * 2);
        old.swap(m_deadEnds);
        m_deadEndCount = 0;
        for (const DeadEnd &entry : old) {
            if (entry.place >= 0)
                addDeadEnd(entry.place, entry.used);
        }
    }
    const std::size_t mask = m_deadEnds.size() - 1;
    std::size_t slot = slotOf(place, used, mask);
    while (m_deadEnds[slot].place >= 0)
        slot = (slot + 1) & mask;
    m_deadEnds[slot] = DeadEnd{used, place};
    ++m_deadEndCount;
}

std::vector<Cell> RouteSearch::find()
{
    m_visited = 0;
    m_deadEnds.assign(FirstDeadEndSlots, DeadEnd{});
    m_deadEndCount = 0;
    m_chain.assign(m_word.size(), -1);
    if (m_word.empty())
        return {};
    m_relevant.assign(m_word.size(), {});
    m_relevantKnown.assign(m_word.size(), 0);
    m_startable.assign(m_word.size(), ~Mask(0));

    // Most words are settled at once; only a search that runs long pays for
    // working out first which cells can start the rest of the word at all.
    m_budget = QuickSearchBudget;
    std::optional<std::vector<Cell>> chain = search();
    if (chain)
        return *chain;
    m_budget = std::numeric_limits<std::uint64_t>::max();
    findStartable();
    return search().value_or(std::vector<Cell>{});
}

std::optional<std::vector<Cell>> RouteSearch::search()
{
    m_aborted = false;
    Mask reach[MaxWord + 1];
    if (!reachable(0, 0, reach))
        return std::vector<Cell>{};
    // Bits run column by column, so the lowest start is the first in
    // column-major order, and among a cell's neighbours the lowest bit is
    // the lowest direction number.
    for (Mask starts = reach[0]; starts; starts &= starts - 1) {
        const int cell = std::countr_zero(starts);
        if (extend(0, cell, 0)) {
            std::vector<Cell> chain;
            for (int c : m_chain)
                chain.push_back(Cell{columnOf(c), rowOf(c)});
            return chain;
        }
        if (m_aborted)
            return std::nullopt;
    }
    return std::vector<Cell>{};
}

void RouteSearch::findStartable()
{
    // From the end backwards: which cells can start the rest of the word on
    // a free board. A chain's cell at that position must be one of them,
    // whatever came before it. Each answer narrows the searches before it.
    const int last = int(m_word.size()) - 1;
    for (int position = last; position >= 1; --position) {
        Mask reach[MaxWord + 1];
        Mask startable = 0;
        if (reachable(position, 0, reach)) {
            for (Mask cells = reach[position]; cells; cells &= cells - 1) {
                const int cell = std::countr_zero(cells);
                if (extend(position, cell, 0))
                    startable |= Mask(1) << cell;
            }
        }
        m_startable[position] = startable;
    }
}

bool RouteSearch::extend(int position, int cell, Mask used)
{
    if (++m_visited > m_budget) {
        m_aborted = true;
        return false;
    }
    m_chain[position] = cell;
    used |= Mask(1) << cell;
    const int next = position + 1;
    if (next == int(m_word.size()))
        return true;

    // The rest of the chain can only use cells of the letters still wanted,
    // so whether it can be completed from here depends on nothing else.
    const int place = position * 64 + cell;
    const Mask key = used & relevant(position, cell);
    if (isDeadEnd(place, key))
        return false;

    Mask reach[MaxWord + 1];
    if (reachable(next, used, reach)) {
        for (Mask candidates = neighbours[cell] & reach[next]; candidates; candidates &= candidates - 1) {
            if (extend(next, std::countr_zero(candidates), used))
                return true;
            if (m_aborted)
                return false; // not a dead end: the search was cut short
        }
    }
    addDeadEnd(place, key);
    return false;
}

RouteSearch::Mask RouteSearch::relevant(int position, int cell)
{
    if (m_relevantKnown[position] & (Mask(1) << cell))
        return m_relevant[position][cell];
    Mask reach[MaxWord + 1];
    const int last = int(m_word.size()) - 1;
    Mask zone = 0;
    if (reachable(position + 1, 0, reach)) {
        // Forward from the cell, then keep what can still reach the end.
        Mask forward[MaxWord + 1];
        forward[position] = Mask(1) << cell;
        for (int q = position + 1; q <= last; ++q)
            forward[q] = spread(forward[q - 1]) & reach[q];
        Mask backward = forward[last];
        zone = backward;
        for (int q = last - 1; q > position; --q) {
            backward = forward[q] & spread(backward);
            zone |= backward;
        }
    }
    m_relevant[position][cell] = zone;
    m_relevantKnown[position] |= Mask(1) << cell;
    return zone;
}

bool RouteSearch::reachable(int from, Mask used, Mask *reach) const
{
    const int last = int(m_word.size()) - 1;
    const Mask free = ~used;
    reach[last] = m_letterMask[m_word[last]] & free & m_startable[last];
    int position = last - 1;
    if (position >= from) {
        reach[position] = m_letterMask[m_word[position]] & free & m_startable[position] & spread(reach[last]);
        --position;
    }
    if (position >= from) {
        // Three from the end the cells are exact: a cell qualifies only when
        // its chain to the end does not come back to it.
        const Mask letter = m_letterMask[m_word[position]] & free & m_startable[position];
        Mask exact = 0;
        for (Mask middles = reach[position + 1]; middles; middles &= middles - 1) {
            const int middle = std::countr_zero(middles);
            const Mask ends = neighbours[middle] & reach[last];
            const Mask before = neighbours[middle] & letter;
            exact |= std::popcount(ends) >= 2 ? before : before & ~ends;
        }
        reach[position] = exact;
        --position;
    }
    for (; position >= from; --position)
        reach[position] = m_letterMask[m_word[position]] & free & m_startable[position] & spread(reach[position + 1]);
    if (!reach[from])
        return false;

    // Each letter still needed must have enough free cells among those that
    // can hold it.
    Mask cells[MaxWord] = {};
    for (int p = from; p <= last; ++p)
        cells[m_group[p]] |= reach[p];
    for (int group = 0; group < m_groups; ++group) {
        if (std::popcount(cells[group]) < m_needed[from][group])
            return false;
    }
    return true;
}

} // namespace rules
