#include "cuesource.h"

#include <QMutexLocker>

#include <algorithm>
#include <cstring>

void CueSource::setSounds(const Sounds &sounds, int frameBytes)
{
    QMutexLocker lock(&m_mutex);
    m_sounds = sounds;
    m_frameBytes = std::max(1, frameBytes);
}

void CueSource::play(Cue cue)
{
    QMutexLocker lock(&m_mutex);
    m_current = cue;
    m_at = 0;
}

qsizetype CueSource::read(char *data, qsizetype size)
{
    QMutexLocker lock(&m_mutex);
    if (m_frameBytes == 0)
        return 0;
    size -= size % m_frameBytes;
    qsizetype copied = 0;
    if (m_current) {
        const QByteArray &sound = m_sounds[size_t(*m_current)];
        copied = std::clamp(sound.size() - m_at, qsizetype(0), size);
        std::memcpy(data, sound.constData() + m_at, size_t(copied));
        m_at += copied;
        if (m_at >= sound.size())
            m_current.reset();
    }
    std::memset(data + copied, 0, size_t(size - copied));
    return size;
}

std::optional<Cue> CueSource::current() const
{
    QMutexLocker lock(&m_mutex);
    return m_current;
}
