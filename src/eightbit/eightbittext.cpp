#include "eightbittext.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

constexpr char Mark[] = "\xEF\xBB\xBF";
constexpr QByteArrayView MarkBytes(Mark, 3);

bool fitsLatin1(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

// The text of marked bytes, or nothing when they are no marked UTF-8.
std::optional<QString> markedText(QByteArrayView bytes)
{
    if (!bytes.startsWith(MarkBytes))
        return std::nullopt;
    // A second mark is part of the text, not one to skip.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes.sliced(MarkBytes.size()));
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

} // namespace

namespace EightBitText {

QByteArray encode(const QString &text)
{
    if (fitsLatin1(text)) {
        // Plain unless it would read back as marked text.
        QByteArray latin1 = text.toLatin1();
        if (!markedText(latin1))
            return latin1;
    }
    return MarkBytes.toByteArray() + text.toUtf8();
}

QString decode(QByteArrayView bytes)
{
    if (std::optional<QString> text = markedText(bytes))
        return *std::move(text);
    return QString::fromLatin1(bytes);
}

} // namespace EightBitText
