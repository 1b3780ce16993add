#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The text of the settings and tally files: 8-bit characters, one byte each,
// read and written as Latin-1 so that every byte comes back unchanged.
//
// A text with a character beyond Latin-1 (a name typed as "Zoë ☺") cannot be
// written that way. It is written as the UTF-8 byte-order mark EF BB BF
// followed by the text in UTF-8, and a text read that starts with the mark
// and is valid UTF-8 after it is read as UTF-8. A Latin-1 text that would
// read back that way is written marked as well, so every text comes back as
// it was written; and every byte sequence comes back byte for byte unless it
// is a mark followed by valid UTF-8 (then its text comes back, and Latin-1
// text such as "Zoë" is written plain).
namespace EightBitText {

QByteArray encode(const QString &text);
QString decode(QByteArrayView bytes);

} // namespace EightBitText
