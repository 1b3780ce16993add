#pragma once

#include "elzrw1exception.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// The tally file compressor: packs a file into a container and unpacks it.
//
// Container: the signature "WRZL", the unpacked size (4 bytes, little-endian),
// then coded blocks, each a 2-byte little-endian length L and L bytes from
// TLZR. The input is cut into blocks of 32768 bytes; the last one is shorter,
// possibly empty, and marks the end.
//
// Every failure is an ELzrw1Exception whose message is meant for the player.
// The output file is written through a QSaveFile: after a failure no partly
// written output exists and a file that was there is left unchanged; on
// Linux the disk is set writing each further MiB as it is written, so the
// save's closing sync waits only for the rest. Memory stays bounded by one
// block whatever the file size.
class Tlzrw1
{
public:
    enum class Mode {
        Fast, // LZRW1/KH blocks, signature "WRZL"
    };

    // Named as the game's callers know them.
    QString InputFile;
    QString OutputFile;
    Mode CompressMode = Mode::Fast;

    // Packs InputFile into a container written to OutputFile; returns the
    // container's size.
    qint64 Compress();
    // Unpacks the container in InputFile into OutputFile; returns the
    // unpacked size.
    qint64 Decompress();

    // A container that unpacks to more than a caller's limit.
    class TooLong : public ELzrw1Exception
    {
    public:
        explicit TooLong(qint64 limit);
        qint64 limit() const { return m_limit; }

    private:
        qint64 m_limit;
    };

    // The same in memory, for callers that must not touch the file system.
    // sourceName only labels the messages, where a file form names InputFile.
    static QByteArray compress(const QByteArray &data);
    static QByteArray decompress(const QByteArray &container, const QString &sourceName);
    // Unpacks a container read block by block from an open device, stopping
    // with TooLong once more than limit bytes come out: memory stays bounded
    // by the limit whatever the container holds.
    static QByteArray decompress(QIODevice &container, const QString &sourceName, qint64 limit);

    // The message of an input file that cannot be opened, for callers that
    // read the container themselves.
    static QString openInputMessage(const QString &input);
};
