#include "eightbittext.h"

#include <gtest/gtest.h>

// Every byte is one character both ways, so any 8-bit text a file holds
// comes back byte for byte: "Zo\xEB" is "Zoë", not a replacement character.
TEST(EightBitText, everyByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = EightBitText::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.at(0xEB), QChar(0xEB));
    EXPECT_EQ(EightBitText::encode(text), all);

    EXPECT_EQ(EightBitText::decode("Zo\xEB"), QStringLiteral(u"Zoë"));
    EXPECT_EQ(EightBitText::encode(QStringLiteral(u"Zoë")), QByteArray("Zo\xEB"));
    EXPECT_EQ(EightBitText::encode(QString()), QByteArray());
}

// A text beyond Latin-1 is written marked, in UTF-8, and read back whole;
// so is a Latin-1 text that would read back as marked, and one that starts
// with a mark of its own.
TEST(EightBitText, textsBeyondLatin1AreKept)
{
    const QString names[] = {
        QStringLiteral(u"Zoë ☺"),
        QStringLiteral(u"Łukasz"),
        QStringLiteral(u"名前"),
        QString::fromUcs4(U"\U0001F600 grin"),
        QStringLiteral(u"\u00EF\u00BB\u00BFabc"),
        QStringLiteral(u"\u00EF\u00BB\u00BF\u00C3\u00AB"),
        QStringLiteral(u"\uFEFFabc"),
    };
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = EightBitText::encode(name);
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
        EXPECT_EQ(EightBitText::decode(bytes), name);
    }
    EXPECT_EQ(EightBitText::encode(QStringLiteral(u"Zoë ☺")), QByteArray("\xEF\xBB\xBFZo\xC3\xAB \xE2\x98\xBA"));
}

// Marked bytes that are no UTF-8 are plain 8-bit text like any other, and
// are written back as they were.
TEST(EightBitText, aMarkBeforeBrokenUtf8IsLatin1)
{
    const QByteArray bytes("\xEF\xBB\xBFZo\xEB");
    const QString text = EightBitText::decode(bytes);
    EXPECT_EQ(text, QStringLiteral(u"\u00EF\u00BB\u00BFZo\u00EB"));
    EXPECT_EQ(EightBitText::encode(text), bytes);
}
