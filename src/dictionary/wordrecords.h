#pragma once

#include "recordsearch.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// The rules' binary search over a device of 15-byte word records (see
// recordsearch.h). Reads one record per probe and never loads the list.
//
// The device is not owned; it must be open, seekable and outlive this object.
// Its size is taken once, at construction: a trailing partial record is never
// read.
class WordRecords
{
public:
    static constexpr int RecordSize = int(rules::RecordSize);
    static constexpr int KeyWidth = int(rules::KeyWidth);

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

    // rules::normalizeKey: trimmed, padded to KeyWidth, a..z upper-cased, never cut.
    static QByteArray normalizeKey(const QByteArray &text);

private:
    bool readRecord(qint32 position);

    QIODevice *m_device = nullptr;
    qint32 m_lastPosition = -1;
    QByteArray m_record;
};
