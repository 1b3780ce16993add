#pragma once

#include "cueplayer.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// The cues as the program plays them: through the sound output module, which
// is built from AudioCuePlayer and carried inside the program as a resource.
// Qt Multimedia and the sound server's libraries take several milliseconds to
// load, which a program linked with them pays before main(); kept in the
// module, they load once the window is on the screen. The newest cue asked
// for before then sounds when the output opens, as it would on a player still
// opening. A module that cannot be loaded leaves the cues silent.
class ModuleCuePlayer : public QObject, public CuePlayer
{
    Q_OBJECT

public:
    static constexpr char DefaultModule[] = ":/modules/cueoutput.so";

    explicit ModuleCuePlayer(const QString &module = QString::fromLatin1(DefaultModule), QObject *parent = nullptr);
    ~ModuleCuePlayer() override;

    // Loads the module and opens the output; later calls do nothing.
    void open();
    // True once the module is loaded and holds the player.
    bool isLoaded() const { return m_player != nullptr; }

    void playsounds(Cue cue) override;

private:
    QString m_module;
    bool m_opening = false;
    std::optional<Cue> m_pending;
    // Made by the module; the module is never unloaded, so its code outlives it.
    std::unique_ptr<CuePlayer> m_player;
};
