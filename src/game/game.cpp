#include "game.h"

#include "builtinwords.h"
#include "cueplayer.h"
#include "dealdice.h"
#include "gameclock.h"
#include "routefinder.h"
#include "tallybook.h"
#include "tile.h"
#include "wordchecker.h"

#include <QDateTime>

Game::Game(Services services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_ownClock(services.clock ? nullptr : std::make_unique<SecondTimer>())
    , m_turntime(services.clock ? services.clock : m_ownClock.get())
{
    m_board.setObserver(this);
    connect(m_turntime, &GameClock::ticked, this, &Game::tick);
}

Game::~Game() = default;

bool Game::isClockRunning() const
{
    return m_turntime->isActive();
}

bool Game::panelShown(Panel panel) const
{
    return m_panels[static_cast<int>(panel)];
}

void Game::setPlayerName(const QString &name)
{
    m_playerName = name;
}

void Game::seedFromClock()
{
    m_random.seed(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
}

void Game::enter()
{
    m_playing = false;
    playsounds(Cue::Entered);
    showPanel(Panel::Name);
    clearall();
}

void Game::startGame()
{
    begin(std::nullopt);
}

void Game::startGame(rules::Seed seed)
{
    begin(seed & rules::SeedMask);
}

void Game::begin(std::optional<rules::Seed> seed)
{
    if (m_review) {
        m_review.reset();
        emit reviewChanged();
    }
    m_mouseheld = false;
    hidePanel(Panel::Name);
    hidePanel(Panel::Cleared);
    if (m_services.tally)
        m_services.tally->addtomineincrease(Counter::TotalGames);
    m_playing = true;
    playsounds(Cue::TurnNew);
    clearall();
    // Every game is scored on its own: no score or word carries over.
    setScore(0);
    setFoundcount(0);
    if (!m_triedWords.isEmpty()) {
        m_triedWords.clear();
        emit triedWordsCleared();
    }
    if (!m_foundLines.isEmpty()) {
        m_foundLines.clear();
        emit foundLinesCleared();
    }
    m_foundWords.clear();
    m_greeting = tr("Good Luck ") + m_playerName;
    emit greetingChanged(m_greeting);
    setStatus(tr("Click or Type a Word"));
    // Every dealt board comes from a seed, so it has a code to share.
    if (!seed && !m_draw)
        seed = m_random.generate64() & rules::SeedMask;
    m_boardSeed = seed;
    if (seed) {
        rules::DealDice dice(*seed);
        m_board.createboard([&dice] { return dice.draw(); });
    } else {
        m_board.createboard(m_draw);
    }
    m_playing = true;
    m_secondsleft = GameSeconds;
    setBarWidth(FullBarWidth);
    m_barshift = FirstBarShift;
    // A restart keeps the running clock's rhythm.
    if (!m_turntime->isActive())
        m_turntime->start();
    setWordButtonsShown(true);
}

void Game::tick()
{
    --m_secondsleft;
    if (m_secondsleft < 1) {
        endGame();
        return;
    }
    if (m_secondsleft % 15 != 0)
        setBarWidth(m_secondsleft - m_barshift);
    else
        --m_barshift;

    const ClockPhase phase = m_secondsleft >= 20 ? ClockPhase::Calm : ClockPhase::Hurry;
    if (m_secondsleft == 20 || m_secondsleft == 15 || m_secondsleft <= 10)
        playsounds(Cue::Tick);
    setTimer(clockText(m_secondsleft), phase);
}

void Game::endGame()
{
    m_turntime->stop();
    m_playing = false;
    m_secondsleft = 0;
    setTimer(tr("Time: 0:00"), m_clockPhase);
    setBarWidth(0);
    setWordButtonsShown(false);
    m_finalScoreText = tr("Your ") + m_scoreText;
    emit finalScoreChanged(m_finalScoreText);
    if (m_services.tally) {
        m_services.tally->checkscore(m_score, m_playerName);
        m_services.tally->addtoit(Counter::RunningTotal, m_score);
    }
    showPanel(Panel::Cleared);
    playsounds(Cue::GameOver);
    // Ready before the player can ask: a board solves in well under a millisecond.
    m_review = std::make_unique<const BoardReview>(m_board.letters(), m_boardSeed, m_foundWords, rules::builtInWords());
    emit reviewChanged();
}

void Game::pressdone()
{
    if (!m_playing || m_board.wordlength() == 0)
        return;

    const QString word = m_board.word();
    if (m_board.wordlength() < Board::MinWord) {
        setStatus(tr("Not enough letters."));
        playsounds(Cue::Invalid);
    } else if (m_triedWords.contains(word)) {
        setStatus(tr("You have already found that word."));
        playsounds(Cue::Invalid);
    } else if (!m_services.words || !m_services.words->checkword(word)) {
        // A look-up that fails with an error leaves here: the word is then
        // neither recorded nor cleared.
        setStatus(tr("Invalid Word."));
        playsounds(Cue::Invalid);
    } else {
        const int points = pointsFor(m_board.wordlength());
        setScore(m_score + points);
        const QString line = word.toUpper() + QStringLiteral(" : ") + QString::number(points);
        m_foundLines.append(line);
        emit wordAccepted(line);
        if (m_services.tally)
            m_services.tally->addtomineincrease(Counter::WordsFound);
        m_foundWords.append(word);
        setFoundcount(m_foundcount + 1);
        playsounds(Cue::GoodWord);
    }
    m_triedWords.append(word);
    emit wordTried(word);
    pressclear();
}

void Game::pressclear()
{
    if (!m_playing)
        return;
    m_board.clearword();
}

void Game::deleteoneletter()
{
    if (m_board.wordlength() > 0)
        m_board.deleteoneletter();
}

bool Game::pickable(int column, int row) const
{
    if (!Board::onBoard(column, row))
        return false;
    const Cell last = m_board.last();
    if (last != Board::NoCell) {
        if (!rules::touching(column, row, last.column, last.row))
            return false;
    }
    const int mark = m_board.boardmarks(column, row);
    if (mark == Tile::NewestFrame || mark == Tile::EarlierFrame)
        return false;
    if (!Tile::isLetter(m_board.boardletters(column, row)))
        return false;
    return m_board.wordlength() + 1 <= Board::MaxWord;
}

void Game::addPickedCell(int column, int row)
{
    m_board.appendcell(column, row);
    playsounds(Cue::Click);
}

void Game::rotateboard()
{
    if (!m_playing)
        return;
    pressclear();
    m_board.rotate();
    playsounds(Cue::Rotate);
}

void Game::mouseDown(bool rightButton, Cell cell)
{
    if (!m_playing)
        return;
    if (rightButton) {
        pressdone();
        return;
    }
    if (!pickable(cell.column, cell.row)) {
        playsounds(Cue::Invalid);
        return;
    }
    if (m_method == Method::Dragging)
        m_mouseheld = true;
    m_hover = cell;
    addPickedCell(cell.column, cell.row);
}

void Game::mouseMove(Cell cell, bool insideInnerZone)
{
    if (!m_playing || !m_mouseheld)
        return;
    if (cell == m_hover || !insideInnerZone)
        return;
    m_hover = cell;
    if (pickable(cell.column, cell.row)) {
        addPickedCell(cell.column, cell.row);
        setStatus(QString());
    } else {
        setStatus(tr("Invalid Selection"));
        playsounds(Cue::Invalid);
    }
}

void Game::mouseUp()
{
    if (m_method != Method::Dragging)
        return;
    m_mouseheld = false;
    pressdone();
}

void Game::slotClicked(int slot)
{
    if (!m_playing)
        return;
    if (m_board.wordlength() >= 1 && slot == m_board.wordlength()) {
        m_board.deleteoneletter();
        playsounds(Cue::Clear);
    }
}

bool Game::keyDown(KeyIntent intent)
{
    using Kind = KeyIntent::Kind;
    if (!m_playing)
        return false;
    if (intent.kind == Kind::Send)
        pressdone();
    else if (intent.kind == Kind::Clear)
        pressclear();
    else if (intent.kind == Kind::Rotate)
        rotateboard();
    else if (intent.kind == Kind::TakeBack)
        deleteoneletter();
    else if (intent.kind == Kind::Letter)
        typetheletter(intent.letter);
    return true;
}

Game::Typed Game::typetheletter(int code)
{
    if (!m_playing || m_board.wordlength() == Board::MaxWord)
        return Typed::Ignored;

    if (m_board.wordlength() == 0) {
        for (int column = 0; column < Board::Size; ++column) {
            for (int row = 0; row < Board::Size; ++row) {
                if (m_board.boardletters(column, row) == code) {
                    clickonletter(Cell{column, row});
                    return Typed::Placed;
                }
            }
        }
        return Typed::Ignored;
    }

    // Beside the newest letter first, in the keyboard's direction order.
    for (const rules::Step &step : rules::NeighbourSteps) {
        const int column = m_board.lastcolumn() + step.column;
        const int row = m_board.lastrow() + step.row;
        if (Board::onBoard(column, row) && m_board.boardletters(column, row) == code
            && m_board.boardmarks(column, row) == Tile::NoMark) {
            clickonletter(Cell{column, row});
            return Typed::Placed;
        }
    }

    // Otherwise the whole word may fit along another chain.
    std::vector<int> word;
    for (int slot = 1; slot <= m_board.wordlength(); ++slot) {
        const Cell cell = m_board.wordslot(slot);
        word.push_back(m_board.boardletters(cell.column, cell.row));
    }
    word.push_back(code);
    std::vector<Cell> chain = RouteFinder(m_board.letters(), word).find();
    if (chain.empty()) {
        setStatus(tr("Invalid Selection"));
        playsounds(Cue::Invalid);
        return Typed::Invalid;
    }
    const Cell added = chain.back();
    chain.pop_back();
    m_board.repostword(chain);
    clickonletter(added);
    return Typed::Placed;
}

void Game::clickonletter(Cell cell)
{
    m_board.appendcell(cell.column, cell.row);
    setStatus(QString());
    playsounds(Cue::Click);
}

void Game::showPanel(Panel panel)
{
    m_panels[static_cast<int>(panel)] = true;
    // Emitted also when already shown: showing brings a panel to the front.
    emit panelShownChanged(panel, true);
}

void Game::hidePanel(Panel panel)
{
    if (!panelShown(panel))
        return;
    m_panels[static_cast<int>(panel)] = false;
    emit panelShownChanged(panel, false);
}

int Game::pointsFor(int letters)
{
    return rules::pointsFor(letters);
}

QString Game::clockText(int seconds)
{
    const int rest = seconds % 60;
    return tr("Time: ") + QString::number(seconds / 60)
        + (rest < 10 ? QStringLiteral(":0") : QStringLiteral(":")) + QString::number(rest);
}

void Game::playsounds(Cue cue)
{
    if (m_services.cues)
        m_services.cues->playsounds(cue);
}

void Game::clearall()
{
    m_board.clearall();
    m_foundcount = 0;
}

void Game::setStatus(const QString &text)
{
    m_status = text;
    emit statusChanged(text);
}

void Game::setScore(int score)
{
    m_score = score;
    m_scoreText = tr("Score: ") + QString::number(score);
    emit scoreChanged(m_scoreText);
}

void Game::setFoundcount(int count)
{
    m_foundcount = count;
    m_foundText = tr("Count: ") + QString::number(count);
    emit foundChanged(m_foundText);
}

void Game::setTimer(const QString &text, ClockPhase phase)
{
    m_timerText = text;
    m_clockPhase = phase;
    emit timerChanged(text, phase);
}

void Game::setBarWidth(int width)
{
    m_barWidth = width;
    emit barWidthChanged(width);
}

void Game::setWordButtonsShown(bool shown)
{
    m_wordButtonsShown = shown;
    emit wordButtonsShownChanged(shown);
}
