#pragma once

#include "cue.h"

#include <QByteArray>
#include <QMutex>

#include <array>
#include <iterator>
#include <optional>

// The sound the output plays: the rest of the current cue, then silence, so
// the stream never runs dry and a new cue goes out with the very next read.
// Starting a cue drops the one sounding (the newest always wins; the same
// cue again starts from its beginning). The game asks for cues on its own
// thread while the output reads on another, hence the lock.
class CueSource
{
public:
    using Sounds = std::array<QByteArray, std::size(AllCues)>;

    // The cues' samples in the output's format, whole frames of
    // `frameBytes` each. Until they are set a read gives nothing, and a cue
    // started before then waits for them.
    void setSounds(const Sounds &sounds, int frameBytes);

    void play(Cue cue);

    // Fills `size` bytes, cut to whole frames, and returns how many that is.
    qsizetype read(char *data, qsizetype size);

    // The cue being read, if any; nothing once it has run out.
    std::optional<Cue> current() const;

private:
    mutable QMutex m_mutex;
    Sounds m_sounds;
    int m_frameBytes = 0;
    std::optional<Cue> m_current;
    qsizetype m_at = 0;
};
