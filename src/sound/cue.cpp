#include "cue.h"

QString cueName(Cue cue)
{
    switch (cue) {
    case Cue::Entered:
        return QStringLiteral("entered");
    case Cue::TurnNew:
        return QStringLiteral("turnnew");
    case Cue::Click:
        return QStringLiteral("click");
    case Cue::Invalid:
        return QStringLiteral("invalid");
    case Cue::GoodWord:
        return QStringLiteral("goodword");
    case Cue::Clear:
        return QStringLiteral("clear");
    case Cue::Rotate:
        return QStringLiteral("rotate");
    case Cue::Tick:
        return QStringLiteral("tick");
    case Cue::GameOver:
        return QStringLiteral("gameover");
    }
    return {};
}

std::optional<Cue> cueNamed(const QString &name)
{
    for (Cue cue : AllCues) {
        if (cueName(cue) == name)
            return cue;
    }
    return std::nullopt;
}
