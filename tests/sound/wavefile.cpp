#include "wavefile.h"

#include <QFile>
#include <QLatin1String>
#include <QString>
#include <gtest/gtest.h>

namespace {

quint32 readLittleEndian(const QByteArray &bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

} // namespace

void parseWave(const QByteArray &bytes, WaveFile &wave)
{
    wave = WaveFile();
    wave.fileSize = bytes.size();
    ASSERT_GE(bytes.size(), 12);
    ASSERT_EQ(bytes.left(4), "RIFF");
    ASSERT_EQ(bytes.mid(8, 4), "WAVE");
    wave.riffSize = readLittleEndian(bytes, 4, 4);

    bool hasFormat = false;
    bool hasData = false;
    qsizetype at = 12;
    while (at < bytes.size()) {
        ASSERT_LE(at + 8, bytes.size()) << "truncated chunk header";
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = readLittleEndian(bytes, at + 4, 4);
        const qsizetype body = at + 8;
        ASSERT_LE(body + qsizetype(size), bytes.size()) << "chunk " << id.constData() << " runs past the end";
        if (id == "fmt ") {
            ASSERT_GE(size, 16u);
            hasFormat = true;
            wave.formatTag = int(readLittleEndian(bytes, body, 2));
            wave.channels = int(readLittleEndian(bytes, body + 2, 2));
            wave.rate = int(readLittleEndian(bytes, body + 4, 4));
            wave.byteRate = int(readLittleEndian(bytes, body + 8, 4));
            wave.blockAlign = int(readLittleEndian(bytes, body + 12, 2));
            wave.bits = int(readLittleEndian(bytes, body + 14, 2));
        } else if (id == "data") {
            ASSERT_TRUE(hasFormat) << "data before fmt";
            ASSERT_TRUE(wave.bits == 8 || wave.bits == 16) << wave.bits << " bits";
            hasData = true;
            wave.dataSize = size;
            wave.data = bytes.mid(body, size);
            const int width = wave.bits / 8;
            for (qsizetype i = body; i + width <= body + qsizetype(size); i += width) {
                if (width == 1)
                    wave.samples.push_back(quint8(bytes[i]));
                else
                    wave.samples.push_back(qint16(readLittleEndian(bytes, i, 2)));
            }
        }
        at = body + size + (size % 2);
    }
    ASSERT_EQ(at, bytes.size()) << "the last chunk's padding runs past the end";
    ASSERT_TRUE(hasFormat);
    ASSERT_TRUE(hasData);
}

void loadCue(const char *name, WaveFile &wave)
{
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(QLatin1String(name)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no resource for " << name;
    ASSERT_NO_FATAL_FAILURE(parseWave(file.readAll(), wave));
}
