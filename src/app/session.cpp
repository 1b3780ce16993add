#include "session.h"

#include <QCoreApplication>
#include <QDir>

#include <exception>

namespace {

QString inFolder(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name);
}

QString stem()
{
    return QString::fromLatin1(Session::filestem);
}

} // namespace

Session::Session(const Paths &paths, CuePlayer *output)
    : m_spell(paths.workingFolder)
    , m_lock(QDir::temp().filePath(stem() + QStringLiteral(".lock")))
    , m_settings(inFolder(paths.programFolder, stem() + QStringLiteral(".ini")), stem())
    , m_tallyFile(inFolder(paths.programFolder, stem() + QStringLiteral("tally.tld")))
    , m_cues(output)
    , m_update(paths.programFile.isEmpty() ? QCoreApplication::applicationFilePath() : paths.programFile,
               paths.programFolder, [] { return version(); })
    , m_game(Game::Services{&m_cues, &m_tally, &m_spell})
{
}

void Session::holdLock()
{
    // The lock stands for the program's named mutex: held, never tested.
    (void)m_lock.tryLock(0);
}

Session::~Session() = default;

QString Session::version()
{
    return QStringLiteral(TARVLE_VERSION);
}

Tmain::Services Session::mainServices()
{
    return Tmain::Services{m_game, m_spell, m_settings, m_cues, m_posting, m_tickets};
}

void Session::attach(Tmain &main)
{
    connect(&main, &Tmain::closed, this, &Session::finish);
}

QString Session::loadTally()
{
    QString error;
    try {
        m_tallyFile.load(m_tally.grid());
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    }
    m_tally.loadtally();
    return error;
}

void Session::finish()
{
    // A close never waits for an installer, and never starts a part of one.
    m_update.abort();
    try {
        // The player is not told: the old file stays as it was.
        (void)m_tallyFile.save(m_tally.grid());
    } catch (const std::exception &) {
    }
    m_spell.close();
}
