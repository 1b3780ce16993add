#pragma once

#include <QString>

// The game's side of the tally list: the moments at which a game counts in
// the player's records. Counters: 1 total games, 2 words found,
// 3 running total score, 4 average game score.
class TallyBook
{
public:
    virtual ~TallyBook() = default;
    // Adds one to a counter.
    virtual void addtomineincrease(int counter) = 0;
    // Adds an amount to a counter and recomputes the average.
    virtual void addtoit(int counter, int amount) = 0;
    // Offers a finished game's score to the ten best; true when it entered.
    virtual bool checkscore(int score, const QString &name) = 0;
};
