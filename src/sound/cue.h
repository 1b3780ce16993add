#pragma once

#include <QString>

#include <optional>

// The nine sound cues. Their names are the names of the recordings
// (":/sounds/<name>.wav").
enum class Cue { Entered, TurnNew, Click, Invalid, GoodWord, Clear, Rotate, Tick, GameOver };

inline constexpr Cue AllCues[] = {Cue::Entered, Cue::TurnNew, Cue::Click,  Cue::Invalid, Cue::GoodWord,
                                  Cue::Clear,   Cue::Rotate,  Cue::Tick,   Cue::GameOver};

// "entered", "turnnew", "click", "invalid", "goodword", "clear", "rotate",
// "tick", "gameover".
QString cueName(Cue cue);
// The cue of a name; nothing for any other text.
std::optional<Cue> cueNamed(const QString &name);
