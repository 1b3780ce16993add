#pragma once

#include "boardcode.h"
#include "cell.h"
#include "geometry.h"
#include "wordgraph.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// What a board held, seen after its game: every word of the built-in list
// on it with its points and one path, which of them the player found, and
// the totals. A value made once when the game ends, of the board as it was
// shown then (turned or not), which is where its paths lie.
class BoardReview
{
    Q_DECLARE_TR_FUNCTIONS(BoardReview)

public:
    struct Entry {
        QString word; // upper case
        int points = 0;
        std::vector<rules::Cell> path;
        bool found = false;
        // Place in the frequency list, 1 the most common; 0 for a word it lacks.
        quint32 rank = 0;
        int letters() const { return int(word.size()); }
    };

    // Which words a list shows, and in which order.
    enum class Show { Missed, All, Found };
    enum class Order { Commonest, MostPoints, FewestPoints, Longest, Shortest, Alphabetical };

    // Solves the board with the graph's words; found holds the words the
    // player sent and had accepted, in any case. seed is the board's, when
    // it came from one.
    BoardReview(const rules::Letters &letters, std::optional<rules::Seed> seed, const QStringList &found,
                const rules::WordGraph &graph);

    const rules::Letters &letters() const { return m_letters; }
    std::optional<rules::Seed> seed() const { return m_seed; }
    // The board's code; empty for a board that came from no seed.
    QString code() const;

    // Every word on the board, alphabetically.
    const std::vector<Entry> &entries() const { return m_entries; }
    int wordCount() const { return int(m_entries.size()); }
    int totalPoints() const { return m_totalPoints; }
    int foundCount() const { return m_foundCount; }
    int foundPoints() const { return m_foundPoints; }

    // Words on the board and words found, by length MinWord..MaxWord
    // (index 0 is MinWord letters).
    const std::array<int, 10> &wordsOfLength() const { return m_wordsOfLength; }
    const std::array<int, 10> &foundOfLength() const { return m_foundOfLength; }

    // "You found 23 of 996 words and 87 of 4,743 points (1.8 %)"
    QString summaryText() const;
    // The share of the board's points found, in per cent, to one decimal;
    // never shown as 100.0 before every point is found.
    QString shareText() const;

    // The entries a list shows, as indexes into entries(). Ties go to the
    // commoner word, then alphabetically; words without a rank come after
    // those with one.
    std::vector<int> listed(Show show, Order order) const;

private:
    rules::Letters m_letters;
    std::optional<rules::Seed> m_seed;
    std::vector<Entry> m_entries;
    int m_totalPoints = 0;
    int m_foundCount = 0;
    int m_foundPoints = 0;
    std::array<int, 10> m_wordsOfLength{};
    std::array<int, 10> m_foundOfLength{};
};
