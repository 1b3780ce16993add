#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// Binary search over a device of 15-byte word records: byte 0x1E, then the
// word in upper case padded with spaces to 14 bytes, in ascending byte order
// of that field. Reads one record per probe and never loads the list.
//
// The device is not owned; it must be open, seekable and outlive this object.
// Its size is taken once, at construction: a trailing partial record is never
// read.
class WordRecords
{
public:
    static constexpr int RecordSize = 15;
    static constexpr int KeyWidth = 15;

    explicit WordRecords(QIODevice *device);

    // Number of whole records in the device, minus one (-1 when empty).
    qint32 lastPosition() const { return m_lastPosition; }

    // Position of the first record equal to the normalised key, or -1 when
    // there is none, the key is empty once trimmed, or a record cannot be read
    // in full. A seek or read error of the device throws DictionaryError.
    qint32 findword(const QString &key);
    bool checkword(const QString &word) { return findword(word) != -1; }

    // The record buffer as last read (after a found word: the first equal record).
    QByteArray lastRecord() const { return m_record; }

    // NUL becomes space, leading and trailing spaces go, the rest is padded
    // with spaces to KeyWidth and a..z is upper-cased; nothing else changes.
    // Never cuts: a text longer than KeyWidth stays longer, so it equals no
    // record. Used on keys and on record fields alike.
    static QByteArray normalizeKey(const QByteArray &text);

private:
    bool readRecord(qint32 position);
    QByteArray recordText() const;

    QIODevice *m_device = nullptr;
    qint32 m_lastPosition = -1;
    QByteArray m_record;
};
