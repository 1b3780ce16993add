#include "wordrecords.h"

#include "dictionaryerror.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QIODevice>

#include <algorithm>
#include <limits>

namespace {

constexpr char Space = ' ';
constexpr qsizetype FieldOffset = 1;
constexpr qsizetype FieldWidth = WordRecords::RecordSize - FieldOffset;

QString deviceName(const QIODevice *device)
{
    if (const auto *file = qobject_cast<const QFileDevice *>(device); file && !file->fileName().isEmpty())
        return file->fileName();
    return QCoreApplication::translate("WordRecords", "(device)");
}

bool isBlank(const QByteArray &key)
{
    return std::all_of(key.cbegin(), key.cend(), [](char c) { return c == Space; });
}

} // namespace

WordRecords::WordRecords(QIODevice *device)
    : m_device(device)
{
    if (m_device && m_device->isOpen()) {
        const qint64 records = std::min<qint64>(m_device->size() / RecordSize, std::numeric_limits<qint32>::max());
        m_lastPosition = qint32(records - 1);
    }
}

QByteArray WordRecords::normalizeKey(const QByteArray &text)
{
    QByteArray key = text;
    key.replace('\0', Space);

    // Spaces only: a tab or any other byte is part of the key.
    qsizetype begin = 0;
    qsizetype end = key.size();
    while (begin < end && key[begin] == Space)
        ++begin;
    while (end > begin && key[end - 1] == Space)
        --end;
    key = key.mid(begin, end - begin);

    if (key.size() < KeyWidth)
        key.append(KeyWidth - key.size(), Space);
    for (char &c : key) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return key;
}

qint32 WordRecords::findword(const QString &key)
{
    // All spaces once normalised means nothing was left after trimming.
    const QByteArray wanted = normalizeKey(key.toUtf8());
    if (isBlank(wanted))
        return -1;

    qint32 low = 0;
    qint32 high = m_lastPosition;
    while (high >= low) {
        const qint32 mid = low + (high - low) / 2;
        if (!readRecord(mid))
            return -1;
        const QByteArray text = recordText();
        if (text == wanted) {
            // A 14-letter field can occur several times in a row (words cut to
            // 14 letters): walk back to the first of the run, leaving it as the
            // record last read.
            for (qint32 position = mid; position >= 0; --position) {
                if (!readRecord(position))
                    return -1;
                if (recordText() != wanted)
                    return readRecord(position + 1) ? position + 1 : -1;
            }
            return 0;
        }
        if (text < wanted)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return -1;
}

// False on a short read (the record is not there in full); throws when the
// device reports an error.
bool WordRecords::readRecord(qint32 position)
{
    const qint64 offset = qint64(position) * RecordSize;
    if (!m_device->seek(offset)) {
        throw DictionaryError(QCoreApplication::translate("WordRecords", "Unable to seek to record %1 of the word list %2: %3")
                                  .arg(position)
                                  .arg(deviceName(m_device), m_device->errorString()));
    }
    m_record.resize(RecordSize);
    const qint64 got = m_device->read(m_record.data(), RecordSize);
    if (got < 0) {
        m_record.clear();
        throw DictionaryError(QCoreApplication::translate("WordRecords", "Unable to read record %1 of the word list %2: %3")
                                  .arg(position)
                                  .arg(deviceName(m_device), m_device->errorString()));
    }
    m_record.resize(got);
    return got == RecordSize;
}

QByteArray WordRecords::recordText() const
{
    return normalizeKey(m_record.mid(FieldOffset, FieldWidth));
}
