#include "tile.h"

namespace Tile {

QString letterOf(int code)
{
    if (!isLetter(code))
        return {};
    return QString(QLatin1Char(rules::letterChar(code)));
}

} // namespace Tile
