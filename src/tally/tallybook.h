#pragma once

#include <QString>

// The four counters of the tally; the number is the counter's column in the
// tally grid's row 0.
enum class Counter { TotalGames = 1, WordsFound = 2, RunningTotal = 3, Average = 4 };

inline constexpr Counter AllCounters[] = {Counter::TotalGames, Counter::WordsFound, Counter::RunningTotal,
                                          Counter::Average};

// The game's side of the tally list: the moments at which a game counts in
// the player's records.
class TallyBook
{
public:
    virtual ~TallyBook() = default;
    // Adds one to a counter.
    virtual void addtomineincrease(Counter counter) = 0;
    // Adds an amount to a counter and recomputes the average.
    virtual void addtoit(Counter counter, int amount) = 0;
    // Offers a finished game's score to the ten best; true when it entered.
    virtual bool checkscore(int score, const QString &name) = 0;
};
