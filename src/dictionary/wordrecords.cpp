#include "wordrecords.h"

#include "dictionaryerror.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QIODevice>

#include <string_view>

namespace {

std::string_view viewOf(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

QString deviceName(const QIODevice *device)
{
    if (const auto *file = qobject_cast<const QFileDevice *>(device); file && !file->fileName().isEmpty())
        return file->fileName();
    return QCoreApplication::translate("WordRecords", "(device)");
}

} // namespace

WordRecords::WordRecords(QIODevice *device)
    : m_device(device)
{
    if (m_device && m_device->isOpen())
        m_lastPosition = rules::lastRecordPosition(m_device->size());
}

QByteArray WordRecords::normalizeKey(const QByteArray &text)
{
    return QByteArray::fromStdString(rules::normalizeKey(viewOf(text)));
}

qint32 WordRecords::findword(const QString &key)
{
    const QByteArray wanted = key.toUtf8();
    return rules::findRecord(m_lastPosition, viewOf(wanted), [this](std::int32_t position) -> std::optional<std::string_view> {
        if (!readRecord(position))
            return std::nullopt;
        return viewOf(m_record);
    });
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
