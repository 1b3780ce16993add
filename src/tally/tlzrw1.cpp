#include "tlzrw1.h"

#include "elzrw1exception.h"
#include "tlzr.h"

#include <QBuffer>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <vector>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace {

constexpr char Signature[4] = {'W', 'R', 'Z', 'L'};
constexpr qint64 HeaderSize = 8;
constexpr qint64 MaxStoredSize = 0xFFFFFFFF;

QString noMemoryMessage()
{
    return QStringLiteral("Lzrw1 (de)compression : Failed to get memory for I/O buffers !");
}

QString noSizeMessage(const QString &input)
{
    return QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ") + input;
}

QString tooLargeMessage(const QString &input)
{
    return QStringLiteral("Lzrw1 compression : File too large (4 GiB at most) : ") + input;
}

QString openOutputMessage(const QString &output)
{
    return QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ") + output;
}

QString writeMessage(const QString &output)
{
    return QStringLiteral("Lzrw1 : Error writing to output file : ") + output;
}

QString readMessage(const QString &input)
{
    return QStringLiteral("Lzrw1 : Error reading from input file : ") + input;
}

QString noHeaderMessage(const QString &input)
{
    return input + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !");
}

QString sizeMismatchMessage()
{
    return QStringLiteral("Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
}

QString corruptBlockMessage(const QString &input)
{
    return QStringLiteral("Lzrw1 (decompression LZRW1/KH) : corrupt block in : ") + input;
}

// The buffers and the block coder of one operation, got before any file is
// touched.
struct WorkArea {
    std::vector<quint8> plain;
    std::vector<quint8> coded;
    std::unique_ptr<TLZR> coder;

    WorkArea()
    {
        try {
            plain.resize(TLZR::WorkBufferSize);
            coded.resize(TLZR::WorkBufferSize);
            coder = std::make_unique<TLZR>();
        } catch (const std::bad_alloc &) {
            throw ELzrw1Exception(noMemoryMessage());
        }
    }
};

// The count read, short only at the end of the device; -1 on an error.
qint64 readFully(QIODevice &device, void *to, qint64 count)
{
    char *at = static_cast<char *>(to);
    qint64 done = 0;
    while (done < count) {
        const qint64 got = device.read(at + done, count - done);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

// Reads exactly count bytes or fails with the reading error.
void readExactly(QIODevice &device, void *to, qint64 count, const QString &input)
{
    if (readFully(device, to, count) != count)
        throw ELzrw1Exception(readMessage(input));
}

void writeExactly(QIODevice &device, const void *from, qint64 count, const QString &output)
{
    if (device.write(static_cast<const char *>(from), count) != count)
        throw ELzrw1Exception(writeMessage(output));
}

// Has the system start writing a file's data to disk each time another
// step of it has been written, rather than all of it at the save's closing
// sync: the disk then works while the coder does, and that sync waits for
// little more than the last step. Only a hint; the save's sync stays.
class WriteBehind
{
public:
    explicit WriteBehind(QIODevice &out)
        : m_file(qobject_cast<QFileDevice *>(&out))
    {
    }

    void wrote(qint64 count)
    {
        m_pending += count;
        if (m_file == nullptr || m_pending < Step)
            return;
#ifdef Q_OS_LINUX
        if (m_file->flush() && m_file->handle() >= 0)
            ::sync_file_range(m_file->handle(), m_started, m_pending, SYNC_FILE_RANGE_WRITE);
#endif
        m_started += m_pending;
        m_pending = 0;
    }

private:
    static constexpr qint64 Step = 1 << 20;
    QFileDevice *m_file;
    qint64 m_started = 0;
    qint64 m_pending = 0;
};

void putLittleEndian(quint8 *at, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = quint8(value >> (8 * i));
}

quint64 getLittleEndian(const quint8 *at, int bytes)
{
    quint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}

// The size field holds 32 bits.
void checkSize(qint64 size, const QString &input)
{
    if (size > MaxStoredSize)
        throw ELzrw1Exception(tooLargeMessage(input));
}

// Returns the container's size. size is what the input holds; an input that
// turns out to hold another count fails with the reading error rather than
// yield a container that cannot be unpacked.
qint64 pack(WorkArea &work, QIODevice &in, qint64 size, QIODevice &out, const QString &input,
            const QString &output)
{
    quint8 header[HeaderSize];
    std::memcpy(header, Signature, sizeof Signature);
    putLittleEndian(header + 4, quint64(size), 4);
    writeExactly(out, header, HeaderSize, output);
    qint64 written = HeaderSize;
    WriteBehind behind(out);

    qint64 total = 0;
    qint64 got = 0;
    do {
        got = readFully(in, work.plain.data(), qint64(TLZR::BlockSize));
        if (got < 0)
            throw ELzrw1Exception(readMessage(input) + QStringLiteral(" (LZRW1/KH)"));
        total += got;
        if (total > size)
            throw ELzrw1Exception(readMessage(input) + QStringLiteral(" (LZRW1/KH)"));
        const std::size_t length = work.coder->compress(
            std::span(work.plain.data(), std::size_t(got)), std::span(work.coded));
        quint8 prefix[2];
        putLittleEndian(prefix, length, 2);
        writeExactly(out, prefix, 2, output);
        writeExactly(out, work.coded.data(), qint64(length), output);
        written += 2 + qint64(length);
        behind.wrote(2 + qint64(length));
    } while (got == qint64(TLZR::BlockSize));

    if (total != size)
        throw ELzrw1Exception(readMessage(input) + QStringLiteral(" (LZRW1/KH)"));
    return written;
}

// Returns the unpacked size. More than limit bytes unpacked fail with
// Tlzrw1::TooLong.
qint64 unpack(WorkArea &work, QIODevice &in, QIODevice &out, const QString &input,
              const QString &output, quint64 limit = MaxStoredSize)
{
    quint8 header[HeaderSize];
    readExactly(in, header, 4, input);
    if (std::memcmp(header, Signature, sizeof Signature) != 0) {
        // "!HZL", an LZH container, is refused like any other file: this
        // program has no LZH coder.
        throw ELzrw1Exception(noHeaderMessage(input));
    }
    readExactly(in, header + 4, 4, input);
    const quint64 size = getLittleEndian(header + 4, 4);

    quint64 total = 0;
    std::size_t decoded = TLZR::BlockSize;
    WriteBehind behind(out);
    while (decoded == TLZR::BlockSize) {
        quint8 prefix[2];
        readExactly(in, prefix, 2, input);
        const std::size_t length = getLittleEndian(prefix, 2);
        if (length > TLZR::MaxCodedSize)
            throw ELzrw1Exception(corruptBlockMessage(input));
        readExactly(in, work.coded.data(), qint64(length), input);
        const TLZR::Decoded block = TLZR::decompress(std::span(work.coded.data(), length),
                                                     std::span(work.plain));
        if (block.error != TLZR::Error::None)
            throw ELzrw1Exception(corruptBlockMessage(input));
        if (total + block.size > limit)
            throw Tlzrw1::TooLong(limit);
        writeExactly(out, work.plain.data(), qint64(block.size), output);
        behind.wrote(qint64(block.size));
        total += block.size;
        decoded = block.size;
    }

    if (total != size)
        throw ELzrw1Exception(sizeMismatchMessage());
    return qint64(total);
}

// Opens both files as the file forms do, the input first. Qt would open a
// folder for reading, and a save file without a name; both are refused here.
void openFiles(QFile &in, QSaveFile &out)
{
    if (QFileInfo(in.fileName()).isDir() || !in.open(QIODevice::ReadOnly))
        throw ELzrw1Exception(Tlzrw1::openInputMessage(in.fileName()));
    if (out.fileName().isEmpty() || !out.open(QIODevice::WriteOnly))
        throw ELzrw1Exception(openOutputMessage(out.fileName()));
}

void commit(QSaveFile &out)
{
    if (!out.commit())
        throw ELzrw1Exception(writeMessage(out.fileName()));
}

} // namespace

qint64 Tlzrw1::Compress()
{
    // The buffers come first, so a lack of memory is reported as such
    // whatever the files are.
    WorkArea work;

    const QFileInfo info(InputFile);
    if (!info.exists() || !info.isFile())
        throw ELzrw1Exception(noSizeMessage(InputFile));
    const qint64 size = info.size();
    checkSize(size, InputFile);

    QFile in(InputFile);
    QSaveFile out(OutputFile);
    openFiles(in, out);
    const qint64 written = pack(work, in, size, out, InputFile, OutputFile);
    commit(out);
    return written;
}

qint64 Tlzrw1::Decompress()
{
    WorkArea work;
    QFile in(InputFile);
    QSaveFile out(OutputFile);
    openFiles(in, out);
    const qint64 written = unpack(work, in, out, InputFile, OutputFile);
    commit(out);
    return written;
}

QByteArray Tlzrw1::compress(const QByteArray &data)
{
    WorkArea work;
    checkSize(data.size(), QString());
    QBuffer in;
    in.setData(data);
    in.open(QIODevice::ReadOnly);
    QByteArray container;
    QBuffer out(&container);
    out.open(QIODevice::WriteOnly);
    pack(work, in, data.size(), out, QString(), QString());
    out.close();
    return container;
}

QByteArray Tlzrw1::decompress(const QByteArray &container, const QString &sourceName)
{
    QBuffer in;
    in.setData(container);
    in.open(QIODevice::ReadOnly);
    return decompress(in, sourceName, qint64(MaxStoredSize));
}

QByteArray Tlzrw1::decompress(QIODevice &container, const QString &sourceName, qint64 limit)
{
    WorkArea work;
    QByteArray data;
    QBuffer out(&data);
    out.open(QIODevice::WriteOnly);
    unpack(work, container, out, sourceName, QString(), quint64(std::max<qint64>(limit, 0)));
    out.close();
    return data;
}

Tlzrw1::TooLong::TooLong(qint64 limit)
    : ELzrw1Exception(QStringLiteral("Lzrw1 (decompression LZRW1/KH) : more than %1 bytes unpacked").arg(limit))
    , m_limit(limit)
{
}

QString Tlzrw1::openInputMessage(const QString &input)
{
    return QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") + input;
}
