#include "literalroute.h"

namespace {

constexpr Cell none = rules::NoCell;

struct Search {
    const std::array<int, 64> &letters;
    std::array<Cell, 12> routecells;
    std::array<int, 12> routeletters{};
    std::array<std::array<bool, 9>, 12> routetried{};

    int letterAt(Cell c) const { return letters[c.column * 8 + c.row]; }

    static Cell getthepoints(Cell c, int d)
    {
        static constexpr int dc[9] = {0, -1, -1, -1, 0, 0, 1, 1, 1};
        static constexpr int dr[9] = {0, -1, 0, 1, -1, 1, -1, 0, 1};
        return Cell{c.column + dc[d], c.row + dr[d]};
    }

    bool aroundletter(Cell c, int code, int d) const
    {
        const Cell n = getthepoints(c, d);
        if (n.column < 0 || n.column > 7 || n.row < 0 || n.row > 7)
            return false;
        for (const Cell &used : routecells) {
            if (used == n)
                return false;
        }
        const int letter = letterAt(n);
        return letter >= 1 && letter <= 26 && letter == code;
    }

    bool hasUnflagged(int p) const
    {
        if (p == 0)
            return true;
        for (int d = 1; d <= 8; ++d) {
            if (!routetried[p][d])
                return true;
        }
        return false;
    }

    int lowestUnflagged(int p) const
    {
        for (int d = 1; d <= 8; ++d) {
            if (!routetried[p][d])
                return d;
        }
        return 9;
    }
};

} // namespace

std::vector<Cell> literalRoute(const std::array<int, 64> &letters, const std::vector<int> &word,
                               std::uint64_t maxSteps, bool *gaveUp)
{
    *gaveUp = false;
    Search s{letters, {}, {}, {}};
    s.routecells.fill(none);
    const int n = int(word.size()) - 1; // the new letter goes to position n
    const int k = word.back();
    for (int p = 0; p < n; ++p)
        s.routeletters[p] = word[p];

    std::uint64_t steps = 0;
    for (int column = 0; column < 8; ++column) {
        for (int row = 0; row < 8; ++row) {
            const Cell start{column, row};
            if (s.letterAt(start) != s.routeletters[0] || n == 0)
                continue;
            s.routecells[0] = start;
            int p = 1;
            int d = 1;
            while (p >= 1) {
                if (++steps > maxSteps) {
                    *gaveUp = true;
                    return {};
                }
                bool stepBack = false;
                if (p == n) {
                    for (int e = 1; e <= 8; ++e) {
                        s.routetried[n][e] = true;
                        if (s.aroundletter(s.routecells[n - 1], k, e)) {
                            s.routecells[n] = Search::getthepoints(s.routecells[n - 1], e);
                            return std::vector<Cell>(s.routecells.begin(), s.routecells.begin() + n + 1);
                        }
                    }
                    stepBack = true;
                } else {
                    s.routetried[p][d] = true;
                    if (s.aroundletter(s.routecells[p - 1], s.routeletters[p], d)) {
                        s.routecells[p] = Search::getthepoints(s.routecells[p - 1], d);
                        ++p;
                        d = 1;
                    } else if (++d > 8) {
                        stepBack = true;
                    }
                }
                if (stepBack) {
                    do {
                        s.routecells[p] = none;
                        --p;
                    } while (!s.hasUnflagged(p));
                    for (int q = p + 1; q < 12; ++q)
                        s.routetried[q].fill(false);
                    d = s.lowestUnflagged(p);
                }
            }
        }
    }
    return {};
}
