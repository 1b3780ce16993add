#include "cue.h"

#include <iterator>

namespace {

// In the order of the enumeration.
constexpr const char *CueNames[] = {"entered", "turnnew", "click",  "invalid", "goodword",
                                    "clear",   "rotate",  "tick",   "gameover"};
static_assert(std::size(CueNames) == std::size(AllCues));

} // namespace

QString cueName(Cue cue)
{
    return QString::fromLatin1(CueNames[static_cast<int>(cue)]);
}

std::optional<Cue> cueNamed(const QString &name)
{
    for (Cue cue : AllCues) {
        if (cueName(cue) == name)
            return cue;
    }
    return std::nullopt;
}
