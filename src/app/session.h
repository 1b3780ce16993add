#pragma once

#include "cueswitch.h"
#include "game.h"
#include "mainform.h"
#include "scoreposting.h"
#include "settingsfile.h"
#include "tallyfile.h"
#include "tallyrecords.h"
#include "tdictn.h"
#include "ticketsource.h"
#include "updatecheck.h"

#include <QLockFile>
#include <QObject>
#include <QString>

class CuePlayer;

// One run of the program: owns the word list, the lock, the settings file,
// the tally and its file, the score posting, the update check, the cue
// switch and the game, from before the first window is made until after the
// last one is gone. Windows get references to what they show.
//
// Start and end are explicit steps, in the program's order: the word list is
// opened here, the tally is read by loadTally() once the main window exists,
// and after the main window has saved its placement and settings, finish()
// writes the tally and then closes the word list. Nothing is saved by the
// destructor.
class Session : public QObject
{
    Q_OBJECT

public:
    // The product's file-name stem: it names the settings file and its
    // section, the tally file and the lock.
    static constexpr auto filestem = "tarvlesolo";

    struct Paths {
        QString programFolder; // settings, tally and updates live here
        QString workingFolder; // the word list file is written here
        QString programFile;   // what an update moves aside; empty: this program
    };

    // output plays the cues while "Play Sounds" is on; null is silence.
    Session(const Paths &paths, CuePlayer *output);
    ~Session() override;

    // The version the about window shows and the update check compares.
    static QString version();

    Game &game() { return m_game; }
    const TDictn &spell() const { return m_spell; }
    SettingsFile &settings() { return m_settings; }
    CueSwitch &cues() { return m_cues; }
    TallyRecords &tally() { return m_tally; }
    ScorePosting &posting() { return m_posting; }
    TicketSource &tickets() { return m_tickets; }
    UpdateCheck &update() { return m_update; }

    // Takes the program's lock for the rest of the run; the start calls it
    // once the main window is on the screen, as writing the lock waits for
    // the disk.
    void holdLock();

    // What the main window views.
    Tmain::Services mainServices();
    // Wires the main window's close to finish().
    void attach(Tmain &main);

    // Reads the tally file and shows what it holds; the error message when
    // it could not be read (the tally then keeps what was read before the
    // failure), empty otherwise.
    QString loadTally();
    // The end of the close sequence: the tally file is written (a failure
    // is not shown, and the old file then stays), then the word list file
    // is closed and removed.
    void finish();

private:
    Q_DISABLE_COPY_MOVE(Session)

    TDictn m_spell;
    QLockFile m_lock;
    SettingsFile m_settings;
    TallyRecords m_tally;
    TallyFile m_tallyFile;
    CueSwitch m_cues;
    ScorePosting m_posting;
    TicketSource m_tickets;
    UpdateCheck m_update;
    Game m_game;
};
