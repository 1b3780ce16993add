#include "boardtext.h"

#include "deal.h"
#include "readingorder.h"

#include <QByteArray>

#include <memory>

namespace BoardText {

std::optional<Letters> parse(const QString &text)
{
    // Anything outside Latin-1 becomes '?', which is no letter, so such a
    // text is refused; one character stays one byte, so the length check holds.
    const QByteArray latin1 = text.toLatin1();
    return rules::parseBoard(std::string_view(latin1.constData(), std::size_t(latin1.size())));
}

std::function<int()> draws(const Letters &letters)
{
    auto sequence = std::make_shared<const Letters>(rules::drawsFor(letters));
    auto next = std::make_shared<std::size_t>(0);
    return [sequence, next] { return (*sequence)[(*next)++ % sequence->size()]; };
}

} // namespace BoardText
