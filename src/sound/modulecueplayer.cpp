#include "modulecueplayer.h"

#include "cueoutputmodule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The dynamic loader takes only files: the module's bytes go into an
// anonymous memory file, which is loaded through its descriptor. Nothing is
// written to the disk, and the module always matches the program it came in.
void *loadFromMemory(const QByteArray &bytes)
{
    const int fd = memfd_create("tarvlesolo-sound", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    void *handle = nullptr;
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    if (written == bytes.size()) {
        const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd);
        handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    }
    // The loader keeps its own mapping of the file.
    ::close(fd);
    return handle;
}

// Where memory files may not hold code (a system that forbids it), a
// temporary file does, removed as soon as it is loaded.
void *loadFromTemporaryFile(const QByteArray &bytes)
{
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("tarvlesolo-sound-XXXXXX.so")));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return nullptr;
    return dlopen(QFile::encodeName(file.fileName()).constData(), RTLD_NOW | RTLD_LOCAL);
}

void *loadFromResource(const QString &name)
{
    QFile resource(name);
    if (!resource.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = resource.readAll();
    if (void *handle = loadFromMemory(bytes))
        return handle;
    return loadFromTemporaryFile(bytes);
}

} // namespace

ModuleCuePlayer::ModuleCuePlayer(const QString &module, QObject *parent)
    : QObject(parent)
    , m_module(module)
{
}

ModuleCuePlayer::~ModuleCuePlayer() = default;

void ModuleCuePlayer::open()
{
    if (m_opening)
        return;
    m_opening = true;
    void *handle = loadFromResource(m_module);
    if (!handle)
        return;
    const auto openOutput = reinterpret_cast<OpenCueOutput>(dlsym(handle, OpenCueOutputSymbol));
    if (!openOutput)
        return;
    m_player.reset(openOutput(m_pending ? int(*m_pending) : -1));
    m_pending.reset();
}

void ModuleCuePlayer::playsounds(Cue cue)
{
    if (m_player)
        m_player->playsounds(cue);
    else if (!m_opening)
        m_pending = cue;
}
