#include "mainform.h"

#include "artwork.h"
#include "accessibility.h"
#include "boardview.h"
#include "clicklabel.h"
#include "cueswitch.h"
#include "dailyboard.h"
#include "errorbox.h"
#include "flatbutton.h"
#include "flatpanel.h"
#include "framewatch.h"
#include "menubar.h"
#include "nameedit.h"
#include "slotview.h"
#include "tile.h"
#include "highscoreform.h"
#include "scoreposting.h"
#include "ticketsource.h"
#include "settingsfile.h"
#include "tdictn.h"
#include "updatecheck.h"
#include "tiledbackground.h"
#include "uistyle.h"

#include <QAction>
#include <QShortcut>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QKeyEvent>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QWindow>

namespace {

// The board group and the smallest client area that holds it.
constexpr QSize BoardGroupSize{556, 530};
constexpr QSize MinimumClientSize{561, 535};
constexpr int LabelNameWidth = 153;
// Where the board group's centre sits in the client area, as a fraction of it.
constexpr double BoardCentreX = 280.0 / 561.0;
constexpr double BoardCentreY = 266.0 / 535.0;

// The clock's text: calm, then cream in its last 20 seconds.
const QColor CalmClock{0xE0, 0xE3, 0x9D};
const QColor HurryClock = UiStyle::Cream;

} // namespace

Tmain::Tmain(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_game(services.game)
    , m_spell(services.spell)
    , m_settings(services.settings)
    , m_cues(services.cues)
    , m_posting(services.posting)
    , m_tickets(services.tickets)
{
    setObjectName(QStringLiteral("Tmain"));
    setWindowTitle(tr("Tarvle Solo - Brenik Software"));
    setFont(UiStyle::sans(11));

    reportWordList();
    buildLayout();
    buildMenu();
    connectGame();
    // Keys reach the game before any menu shortcut sees them.
    qApp->installEventFilter(this);
    m_frameWatch = new FrameWatch(this);
    connect(m_frameWatch, &FrameWatch::frameKnown, this, &Tmain::settleFrame);
    FormCreate();
}

Tmain::~Tmain() = default;

QPixmap Tmain::backgroundPicture() const
{
    return m_background->picture();
}

// The word list was opened while the window was being made: what went
// wrong is told now.
void Tmain::reportWordList()
{
    if (!m_spell.writeError().isEmpty())
        ErrorBox::show(this, m_spell.writeError());
    if (!m_spell.opened())
        ErrorBox::inform(this, TDictn::notFoundMessage());
    else if (!m_spell.notice().isEmpty())
        ErrorBox::inform(this, m_spell.notice());
}

void Tmain::FormCreate()
{
    m_game.seedFromClock();
    loadinifile();
    m_game.enter();
}

void Tmain::loadinifile()
{
    const MainSettings settings = m_settings.loadinifile();
    // The place is applied as read, also when it lies off the screen; the
    // size at most fills the work area, so a damaged value cannot ask for a
    // window of gigabytes.
    const QSize work = screen()->availableGeometry().size();
    m_savedbounds = QRect(settings.left, settings.top, qMin(settings.width, work.width()),
                          qMin(settings.height, work.height()));
    placeWindow(m_savedbounds);
    m_cues.setPlaySounds(settings.sounds);
    PlaySounds1->setChecked(settings.sounds);
    m_updatecheck = settings.update;
    updatecheck->setChecked(settings.update);
    edit_name->setText(settings.name);
    edit_aname->setText(edit_name->text());
    m_game.setSelectionMethod(settings.clickletters == int(Game::Method::Dragging) ? Game::Method::Dragging
                                                                                  : Game::Method::ClickLetters);
    showSelectionMethod();
}

void Tmain::saveinifile()
{
    MainSettings settings;
    const QRect bounds = outerBounds();
    settings.top = bounds.top();
    settings.left = bounds.left();
    settings.width = bounds.width();
    settings.height = bounds.height();
    settings.clickletters = int(m_game.selectionMethod());
    settings.name = edit_name->text();
    settings.sounds = m_cues.playSounds();
    settings.update = m_updatecheck;
    m_settings.saveinifile(settings);
}

QRect Tmain::outerBounds() const
{
    // Before the window is first shown its frame is the one asked for.
    if (!isVisible())
        return m_placement;
    if (const auto frame = m_frameWatch->margins())
        return geometry().marginsAdded(*frame);
    return frameGeometry();
}

void Tmain::placeWindow(const QRect &outer)
{
    m_placement = outer;
    // With the frame known, the client area goes exactly where it belongs;
    // move() would go by Qt's own idea of the frame.
    if (const auto frame = m_frameWatch->margins(); frame && isVisible()) {
        setGeometry(outer.marginsRemoved(*frame));
        return;
    }
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    move(outer.topLeft());
    resize(outer.width() - frame.left() - frame.right(), outer.height() - frame.top() - frame.bottom());
}

void Tmain::settleFrame()
{
    // Until the frame was known, the whole outer size asked for went to the
    // client area: place the window once more with its real frame.
    if (m_frameSettled || !isVisible())
        return;
    m_frameSettled = true;
    if (outerBounds() != m_placement)
        placeWindow(m_placement);
}

void Tmain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (m_updatecheck)
        emit updateCheckRequested();
}

void Tmain::closeEvent(QCloseEvent *event)
{
    QRect bounds = outerBounds();
    if (bounds != m_savedbounds) {
        // A window larger than the work area is stored 3 pixels smaller, once.
        const QRect work = screen()->availableGeometry();
        if (bounds.width() > work.width())
            bounds.setWidth(bounds.width() - 3);
        if (bounds.height() > work.height())
            bounds.setHeight(bounds.height() - 3);
        placeWindow(bounds);
        m_savedbounds = bounds;
    }
    // When the file cannot be written the player is told, and the program
    // ends all the same.
    saveOptions();
    event->accept();
    emit closed();
    QCoreApplication::quit();
}

void Tmain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The window's minimum is the client area's plus the menu bar. Without a
    // window manager the X server gives the window any size another client
    // asks for, also a smaller one: enlarge it back at once. A window manager
    // that insists on the smaller size (a tiling one) is asked only once, or
    // the two would resize the window back and forth for ever.
    if (event->spontaneous()) {
        const QSize least = size().expandedTo(minimumSize());
        if (least == size()) {
            m_refusedSize = QSize();
        } else if (isVisible() && size() != m_refusedSize) {
            m_refusedSize = size();
            resize(least);
            return;
        }
    }
    placeBoardGroup();
}

void Tmain::placeBoardGroup()
{
    if (!panel_board)
        return;
    const QSize client = m_background->size();
    const int left = qRound(client.width() * BoardCentreX - BoardGroupSize.width() / 2.0);
    const int top = qRound(client.height() * BoardCentreY - BoardGroupSize.height() / 2.0);
    panel_board->move(qMax(0, left), qMax(0, top));
}

FlatButton *Tmain::makeButton(QWidget *parent, const QString &name, const QString &caption,
                              const QRect &geometry, int captionSize)
{
    auto *button = new FlatButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setCaptionPixelSize(captionSize);
    return button;
}

void Tmain::buildLayout()
{
    using UiStyle::makeLabel;

    m_background = new TiledBackground(this);
    m_background->setObjectName(QStringLiteral("LbBackground1"));
    m_background->setPicture(Artwork::background());
    m_background->setMinimumSize(MinimumClientSize);
    setCentralWidget(m_background);

    panel_board = new FlatPanel(m_background);
    panel_board->setObjectName(QStringLiteral("panel_board"));
    panel_board->setGeometry(QRect(QPoint(2, 1), BoardGroupSize));
    panel_board->setTransparent(true);
    panel_board->setFrameColor(UiStyle::Green);

    label_name = makeLabel(panel_board, QStringLiteral("label_name"), tr("Welcome to Tarvle Solo!"),
                           UiStyle::sans(13), QRect(11, 5, LabelNameWidth, 16));
    showGreeting(label_name->text());

    panel_board1 = new FlatPanel(panel_board);
    panel_board1->setObjectName(QStringLiteral("panel_board1"));
    panel_board1->setGeometry(8, 22, 540, 499);
    panel_board1->setTransparent(true);

    auto *timeBarFrame = new QLabel(panel_board1);
    timeBarFrame->setObjectName(QStringLiteral("Image8"));
    timeBarFrame->setGeometry(353, 58, 175, 29);
    timeBarFrame->setScaledContents(true);
    timeBarFrame->setPixmap(Artwork::timeBarFrame());

    image_timer = new QLabel(panel_board1);
    image_timer->setObjectName(QStringLiteral("image_timer"));
    image_timer->setGeometry(358, 63, Game::FullBarWidth, 20);
    image_timer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_timer->setPixmap(Artwork::timeBar());

    label_timer = makeLabel(panel_board1, QStringLiteral("label_timer"), m_game.timerText(),
                            UiStyle::arial(16, true), QRect(362, 64, 80, 19), Qt::AlignCenter);
    // Keeps the light clock text readable over the bright end of the bar.
    auto *shadow = new QGraphicsDropShadowEffect(label_timer);
    shadow->setOffset(1, 1);
    shadow->setBlurRadius(3);
    shadow->setColor(QColor(0, 0, 0, 200));
    label_timer->setGraphicsEffect(shadow);

    image_logo = new ClickLabel(QString(), panel_board1);
    image_logo->setObjectName(QStringLiteral("image_logo"));
    image_logo->setGeometry(158, 453, 216, 42);
    image_logo->setPixmap(Artwork::logo());
    connect(image_logo, &ClickLabel::clicked, this, &Tmain::logoClicked);

    label_score = makeLabel(panel_board1, QStringLiteral("label_score"), m_game.scoreText(),
                            UiStyle::sans(19, true), QRect(354, 88, 173, 24), Qt::AlignCenter);

    image_minletters = new QLabel(panel_board1);
    image_minletters->setObjectName(QStringLiteral("image_minletters"));
    image_minletters->setGeometry(11, 5, 517, 7);
    image_minletters->setPixmap(Artwork::minLetters());

    for (int slot = 1; slot <= Board::MaxWord; ++slot) {
        auto *view = new SlotView(m_game.board(), slot, panel_board1);
        view->setObjectName(QStringLiteral("image_letters%1").arg(slot));
        view->move(12 + 43 * (slot - 1), 11);
        image_letters[slot - 1] = view;
    }

    label_status = makeLabel(panel_board1, QStringLiteral("label_status"), m_game.statusText(),
                             UiStyle::sans(13, true), QRect(12, 57, 337, 16), Qt::AlignCenter);

    m_wordStrip = new WordStrip(m_game.board(), panel_board1);
    m_wordStrip->setObjectName(QStringLiteral("wordStrip"));
    m_wordStrip->setGeometry(12, 11, 43 * Board::MaxWord, 42);
    m_wordStrip->lower();
    label_news = new QLabel(panel_board1);
    label_news->setObjectName(QStringLiteral("label_news"));
    label_news->setTextFormat(Qt::PlainText);
    label_news->setGeometry(0, 0, 0, 0);

    button_clear = makeButton(panel_board1, QStringLiteral("button_clear"), tr("CLEAR"),
                              QRect(11, 421, 95, 27), 16);
    button_rotate = makeButton(panel_board1, QStringLiteral("button_rotate"), tr("ROTATE"),
                               QRect(132, 421, 95, 27), 16);
    button_send = makeButton(panel_board1, QStringLiteral("button_send"), tr("DONE"),
                             QRect(253, 421, 95, 27), 16);
    button_start = makeButton(panel_board1, QStringLiteral("button_start"), tr("START GAME"),
                              QRect(357, 421, 172, 27), 16);

    panel_boardback = new FlatPanel(panel_board1);
    panel_boardback->setObjectName(QStringLiteral("panel_boardback"));
    panel_boardback->setGeometry(11, 75, 338, 341);
    paintbox_board = new BoardView(m_game.board(), panel_boardback);
    paintbox_board->setObjectName(QStringLiteral("paintbox_board"));
    paintbox_board->setGeometry(1, 1, BoardView::SurfaceWidth, BoardView::SurfaceHeight);

    panel_words = new FlatPanel(panel_board1);
    panel_words->setObjectName(QStringLiteral("panel_words"));
    panel_words->setGeometry(356, 111, 172, 305);
    auto *wordsHeading = new QLabel(panel_words);
    wordsHeading->setObjectName(QStringLiteral("Image3"));
    wordsHeading->setGeometry(24, 1, 118, 21);
    wordsHeading->setPixmap(Artwork::wordsHeading());
    label_found = makeLabel(panel_words, QStringLiteral("label_found"), m_game.foundText(),
                            UiStyle::arial(13, true), QRect(2, 19, 151, 16), Qt::AlignCenter);
    richedit_words = new QTextEdit(panel_words);
    richedit_words->setObjectName(QStringLiteral("richedit_words"));
    richedit_words->setGeometry(4, 38, 164, 264);
    richedit_words->setReadOnly(true);
    richedit_words->setFrameShape(QFrame::NoFrame);
    richedit_words->setFocusPolicy(Qt::NoFocus);
    richedit_words->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    richedit_words->setFont(UiStyle::arial(16, true));
    richedit_words->setTextColor(UiStyle::Orange);
    richedit_words->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: #314431; width: 12px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #6B8A6B; border: 1px solid #314431; min-height: 20px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    QPalette wordsPalette = richedit_words->palette();
    wordsPalette.setColor(QPalette::Base, UiStyle::Green);
    wordsPalette.setColor(QPalette::Text, UiStyle::Orange);
    richedit_words->setPalette(wordsPalette);

    // Never shown: it mirrors the words tried in this game.
    listbox_wordsfound = new QListWidget(panel_board1);
    listbox_wordsfound->setObjectName(QStringLiteral("listbox_wordsfound"));
    listbox_wordsfound->setGeometry(136, 344, 177, 33);
    listbox_wordsfound->setFocusPolicy(Qt::NoFocus);
    listbox_wordsfound->setStyleSheet(QStringLiteral("QListWidget { background: #FFFFE6; }"));
    listbox_wordsfound->hide();

    buildGameOverPanel();
    buildNamePanel();
    buildUpdatePanel();
}

void Tmain::buildUpdatePanel()
{
    panel_update = new FlatPanel(panel_board1);
    panel_update->setObjectName(QStringLiteral("panel_update"));
    panel_update->setGeometry(101, 128, 329, 161);
    panel_update->hide();
    UiStyle::makeLabel(panel_update, QStringLiteral("Label15"), tr("Update Available"),
                       UiStyle::sans(19, true), QRect(-1, 10, 327, 24), Qt::AlignCenter);
    UiStyle::makeLabel(panel_update, QStringLiteral("Label17"), tr("Would you like to update now?"),
                       UiStyle::sans(16, true), QRect(2, 47, 327, 24), Qt::AlignCenter);
    button_updateyes = makeButton(panel_update, QStringLiteral("button_updateyes"), tr("UPDATE"),
                                  QRect(43, 93, 111, 36), 16);
    button_updatecancel = makeButton(panel_update, QStringLiteral("button_updatecancel"), tr("CANCEL"),
                                     QRect(171, 93, 111, 36), 16);
    button_updateyes->setCaptionColor(UiStyle::PanelButtonText);
    button_updatecancel->setCaptionColor(UiStyle::PanelButtonText);
    button_updateyes->setShortcut(QKeySequence(Qt::ALT | Qt::Key_U));
    button_updatecancel->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    connect(button_updateyes, &FlatButton::clicked, this, handler(&Tmain::button_updateyesClick));
    connect(button_updatecancel, &FlatButton::clicked, this, handler(&Tmain::button_updatecancelClick));
    label_update = UiStyle::makeLabel(panel_update, QStringLiteral("label_update"), QString(), UiStyle::sans(16),
                                      QRect(1, 161 - 21, 327, 20), Qt::AlignCenter);
    UiStyle::setTextColor(label_update, Qt::black);
}

void Tmain::buildGameOverPanel()
{
    using UiStyle::makeLabel;

    panel_cleared = new FlatPanel(panel_board1);
    panel_cleared->setObjectName(QStringLiteral("panel_cleared"));
    panel_cleared->setGeometry(100, 97, 329, 264);
    panel_cleared->hide();

    makeLabel(panel_cleared, QStringLiteral("Label1"), tr("Time Up..Game Over!"),
              UiStyle::sans(19, true), QRect(-1, 10, 327, 24), Qt::AlignCenter);
    label_score1 = makeLabel(panel_cleared, QStringLiteral("label_score1"), m_game.finalScoreText(),
                             UiStyle::sans(19, true), QRect(2, 41, 327, 24), Qt::AlignCenter);
    UiStyle::setTextColor(label_score1, UiStyle::Maroon);
    makeLabel(panel_cleared, QStringLiteral("Label3"), tr("Enter Your Name"),
              UiStyle::sans(19, true), QRect(4, 69, 321, 24), Qt::AlignCenter);

    edit_name = new NameEdit(panel_cleared);
    edit_name->setObjectName(QStringLiteral("edit_name"));
    edit_name->setGeometry(83, 91, 161, 32);
    edit_name->setFont(UiStyle::sans(19));
    edit_name->setStyleSheet(QStringLiteral("QLineEdit { background: #FFFFE6; color: black; }"));

    button_sendscore = makeButton(panel_cleared, QStringLiteral("button_sendscore"), tr("SEND SCORE"),
                                  QRect(78, 135, 172, 36), 16);
    button_highscore = makeButton(panel_cleared, QStringLiteral("button_highscore"),
                                  tr("VIEW HIGH SCORES"), QRect(78, 178, 172, 36), 16);
    button_done = makeButton(panel_cleared, QStringLiteral("button_done"), tr("DONE"),
                             QRect(109, 219, 111, 36), 16);
    button_review = makeButton(panel_cleared, QStringLiteral("button_review"), tr("REVIEW"),
                               QRect(228, 219, 92, 36), 16);
    button_review->setAccessibleName(tr("Board Review"));
    // From the keyboard: Enter in the name box sends the score, Escape is DONE.
    connect(edit_name, &QLineEdit::returnPressed, this, [this] {
        if (button_sendscore->isVisible())
            button_sendscore->click();
    });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), edit_name, nullptr, nullptr, Qt::WidgetShortcut),
            &QShortcut::activated, button_done, &QAbstractButton::click);

    panel_wait = new FlatPanel(panel_cleared);
    panel_wait->setObjectName(QStringLiteral("panel_wait"));
    panel_wait->setGeometry(9, 129, 309, 49);
    panel_wait->setFrameColor(UiStyle::Green);
    panel_wait->setCaption(tr("Posting Score, Please Wait......"));
    panel_wait->setCaptionFont(UiStyle::sans(19), UiStyle::Cream);
    panel_wait->setCaptionWrapped(false);
    panel_wait->hide();
}

void Tmain::buildNamePanel()
{
    panel_name = new FlatPanel(panel_board1);
    panel_name->setObjectName(QStringLiteral("panel_name"));
    panel_name->setGeometry(99, 128, 329, 161);
    panel_name->hide();

    UiStyle::makeLabel(panel_name, QStringLiteral("Label13"), tr("ENTER YOUR NAME"),
                       UiStyle::sans(19, true), QRect(0, 12, 329, 24), Qt::AlignCenter);

    edit_aname = new NameEdit(panel_name);
    edit_aname->setObjectName(QStringLiteral("edit_aname"));
    edit_aname->setGeometry(83, 48, 161, 32);
    edit_aname->setFont(UiStyle::sans(19));
    edit_aname->setStyleSheet(QStringLiteral("QLineEdit { background: #FFFFE6; color: black; }"));

    auto *done = makeButton(panel_name, QStringLiteral("button_namedone"), tr("DONE"),
                            QRect(43, 100, 111, 36), 16);
    auto *cancel = makeButton(panel_name, QStringLiteral("button_namecancel"), tr("CANCEL"),
                              QRect(171, 100, 111, 36), 16);
    done->setCaptionColor(UiStyle::PanelButtonText);
    cancel->setCaptionColor(UiStyle::PanelButtonText);
    connect(done, &FlatButton::clicked, this, handler(&Tmain::button_namedoneClick));
    connect(cancel, &FlatButton::clicked, this, handler(&Tmain::button_namecancelClick));
    connect(edit_aname, &QLineEdit::returnPressed, this, handler(&Tmain::button_namedoneClick));
    // The panel's buttons never take the focus; its edit box stands in for them.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), edit_aname, nullptr, nullptr, Qt::WidgetShortcut),
            &QShortcut::activated, this, handler(&Tmain::button_namecancelClick));
}

void Tmain::buildMenu()
{
    auto *bar = new MenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(bar);
    QMenu *file1 = menuBar()->addMenu(tr("&File"));
    file1->setObjectName(QStringLiteral("file1"));
    StartGame1 = file1->addAction(tr("Start Game"));
    StartGame1->setObjectName(QStringLiteral("StartGame1"));
    StartGame1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(StartGame1, &QAction::triggered, this, handler(&Tmain::StartGame1Click));
    PlayBoardCode1 = file1->addAction(tr("Play Board Code..."));
    PlayBoardCode1->setObjectName(QStringLiteral("PlayBoardCode1"));
    connect(PlayBoardCode1, &QAction::triggered, this, handler(&Tmain::PlayBoardCode1Click));
    PlayTodaysBoard1 = file1->addAction(tr("Play Today's Board"));
    PlayTodaysBoard1->setObjectName(QStringLiteral("PlayTodaysBoard1"));
    connect(PlayTodaysBoard1, &QAction::triggered, this, handler(&Tmain::PlayTodaysBoard1Click));
    file1->addSeparator()->setObjectName(QStringLiteral("N1"));
    Exit1 = file1->addAction(tr("Exit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, handler(&Tmain::Exit1Click));

    QMenu *Options1 = menuBar()->addMenu(tr("&Options"));
    Options1->setObjectName(QStringLiteral("Options1"));
    Options1->setToolTipsVisible(true);
    PlaySounds1 = Options1->addAction(tr("Play Sounds"));
    PlaySounds1->setObjectName(QStringLiteral("PlaySounds1"));
    PlaySounds1->setCheckable(true);
    PlaySounds1->setChecked(true);
    connect(PlaySounds1, &QAction::triggered, this, handler(&Tmain::PlaySounds1Click));
    ResetScreenLocation1 = Options1->addAction(tr("Reset Screen Location"));
    ResetScreenLocation1->setObjectName(QStringLiteral("ResetScreenLocation1"));
    connect(ResetScreenLocation1, &QAction::triggered, this, handler(&Tmain::ResetScreenLocation1Click));
    ChangeName1 = Options1->addAction(tr("Change  Name"));
    ChangeName1->setObjectName(QStringLiteral("ChangeName1"));
    connect(ChangeName1, &QAction::triggered, this, handler(&Tmain::ChangeName1Click));
    updatecheck = Options1->addAction(tr("Automatically Check for Updates"));
    updatecheck->setObjectName(QStringLiteral("updatecheck"));
    updatecheck->setCheckable(true);
    updatecheck->setChecked(true);
    connect(updatecheck, &QAction::triggered, this, handler(&Tmain::updatecheckClick));
    Options1->addSeparator()->setObjectName(QStringLiteral("N3"));
    ClickLetters1 = Options1->addAction(tr("Click Letters Method"));
    ClickLetters1->setObjectName(QStringLiteral("ClickLetters1"));
    ClickLetters1->setCheckable(true);
    ClickLetters1->setChecked(true);
    ClickLetters1->setToolTip(tr("Click on each letter. Right click the mouse button or press the DONE button to send."));
    ClickLetters1->setStatusTip(ClickLetters1->toolTip());
    m_draggingAction = Options1->addAction(tr("Dragging Method"));
    m_draggingAction->setObjectName(QStringLiteral("ClickLetters2"));
    m_draggingAction->setCheckable(true);
    m_draggingAction->setToolTip(tr("Click and hold the mouse, drag over the letters, release to complete word."));
    m_draggingAction->setStatusTip(m_draggingAction->toolTip());
    connect(ClickLetters1, &QAction::triggered, this, handler(&Tmain::ClickLetters1Click));
    connect(m_draggingAction, &QAction::triggered, this, handler(&Tmain::ClickLetters1Click));

    QMenu *View1 = menuBar()->addMenu(tr("&View"));
    View1->setObjectName(QStringLiteral("View1"));
    TallyList1 = View1->addAction(tr("Tally List"));
    TallyList1->setObjectName(QStringLiteral("TallyList1"));
    connect(TallyList1, &QAction::triggered, this, handler(&Tmain::TallyList1Click));
    ViewHighScoreList1 = View1->addAction(tr("View High Score List"));
    ViewHighScoreList1->setObjectName(QStringLiteral("ViewHighScoreList1"));
    connect(ViewHighScoreList1, &QAction::triggered, this, handler(&Tmain::ViewHighScoreList1Click));
    BoardReview1 = View1->addAction(tr("Board Review"));
    BoardReview1->setObjectName(QStringLiteral("BoardReview1"));
    connect(BoardReview1, &QAction::triggered, this, handler(&Tmain::BoardReview1Click));

    QMenu *Help1 = menuBar()->addMenu(tr("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help2 = Help1->addAction(tr("Help"));
    Help2->setObjectName(QStringLiteral("Help2"));
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    connect(Help2, &QAction::triggered, this, handler(&Tmain::Help2Click));
    Help1->addSeparator()->setObjectName(QStringLiteral("N2"));
    About1 = Help1->addAction(tr("About"));
    About1->setObjectName(QStringLiteral("About1"));
    connect(About1, &QAction::triggered, this, handler(&Tmain::About1Click));

    bar->addBarSeparator(QStringLiteral("N4"));
    MultiplayerTarvle1 = menuBar()->addAction(tr("Check out Multiplayer Tarvle!"));
    MultiplayerTarvle1->setObjectName(QStringLiteral("MultiplayerTarvle1"));
    connect(MultiplayerTarvle1, &QAction::triggered, this, handler(&Tmain::MultiplayerTarvle1Click));
}

void Tmain::announce(const QString &text)
{
    // The same news twice is still news: the text changes each time.
    label_news->clear();
    label_news->setText(text);
}

// The last twenty seconds every five, and each of the last ten.
void Tmain::announceClock()
{
    const int left = m_game.secondsLeft();
    if (!m_game.isPlaying() || left <= 0 || left > 20 || m_lastAnnouncedSecond == left)
        return;
    m_lastAnnouncedSecond = left;
    if (left <= 10 || left % 5 == 0)
        announce(left == 1 ? tr("1 second left") : tr("%1 seconds left").arg(left));
}

void Tmain::connectGame()
{
    Game *game = &m_game;
    connect(game, &Game::cellChanged, paintbox_board, &BoardView::updateCell);
    connect(game, &Game::slotChanged, this, [this](int slot) {
        image_letters[slot - 1]->update();
        image_minletters->setVisible(m_game.board().minLettersShown());
        m_wordStrip->wordChanged();
    });
    connect(game, &Game::statusChanged, label_status, &QLabel::setText);
    connect(game, &Game::statusChanged, this, [this](const QString &text) {
        if (!text.isEmpty())
            announce(text);
    });
    connect(game, &Game::wordAccepted, this, [this](const QString &line) {
        // "TEA : 1" is said as "TEA, 1 point".
        const QStringList parts = line.split(QStringLiteral(" : "));
        const int points = parts.value(1).toInt();
        const QString word = parts.value(0);
        announce(points == 1 ? tr("%1, 1 point").arg(word) : tr("%1, %2 points").arg(word).arg(points));
    });
    connect(game, &Game::timerChanged, this, &Tmain::announceClock);
    connect(game, &Game::panelShownChanged, this, [this](Game::Panel panel, bool shown) {
        if (panel == Game::Panel::Cleared && shown)
            announce(tr("Game over. %1").arg(label_score->text()));
    });
    connect(game, &Game::greetingChanged, this, &Tmain::showGreeting);
    connect(game, &Game::scoreChanged, label_score, &QLabel::setText);
    connect(game, &Game::foundChanged, label_found, &QLabel::setText);
    connect(game, &Game::finalScoreChanged, label_score1, &QLabel::setText);
    connect(game, &Game::timerChanged, this, &Tmain::showTimer);
    connect(game, &Game::barWidthChanged, this, [this](int width) {
        image_timer->resize(width, image_timer->height());
    });
    connect(game, &Game::wordButtonsShownChanged, this, [this](bool shown) {
        button_clear->setVisible(shown);
        button_rotate->setVisible(shown);
        button_send->setVisible(shown);
    });
    connect(game, &Game::panelShownChanged, this, [this](Game::Panel panel, bool shown) {
        QWidget *widget = panelWidget(panel);
        if (!widget)
            return;
        if (shown)
            showPanel(widget);
        else
            widget->hide();
    });
    connect(game, &Game::wordAccepted, this, [this](const QString &line) { addword(line, UiStyle::Cream); });
    connect(game, &Game::foundLinesCleared, richedit_words, &QTextEdit::clear);
    connect(game, &Game::wordTried, listbox_wordsfound, [this](const QString &word) {
        listbox_wordsfound->addItem(word);
    });
    connect(game, &Game::triedWordsCleared, listbox_wordsfound, &QListWidget::clear);

    connect(button_start, &FlatButton::clicked, this, handler(&Tmain::button_startClick));
    connect(button_clear, &FlatButton::clicked, this, handler(&Tmain::button_clearClick));
    connect(button_send, &FlatButton::clicked, this, handler(&Tmain::button_sendClick));
    connect(button_done, &FlatButton::clicked, this, handler(&Tmain::button_cancelClick));
    connect(button_review, &FlatButton::clicked, this, handler(&Tmain::button_reviewClick));
    connect(game, &Game::reviewChanged, this, &Tmain::showReviewAvailable);
    showReviewAvailable();
    connect(button_sendscore, &FlatButton::clicked, this, handler(&Tmain::button_sendscoreClick));
    connect(button_highscore, &FlatButton::clicked, this, handler(&Tmain::button_highscoresClick));
    connect(&m_posting, &ScorePosting::captionChanged, panel_wait, &FlatPanel::setCaption);
    connect(&m_posting, &ScorePosting::failed, this, [this] { ErrorBox::inform(this, tr("Posting Failed.")); });
    connect(&m_posting, &ScorePosting::refused, this, &Tmain::showRefusal);
    connect(button_rotate, &FlatButton::clicked, this, handler(&Tmain::button_rotateClick));
    connect(paintbox_board, &BoardView::pressed, this, handler(&Tmain::paintbox_boardMouseDown));
    connect(paintbox_board, &BoardView::moved, this, handler(&Tmain::paintbox_boardMouseMove));
    connect(paintbox_board, &BoardView::released, this, handler(&Tmain::paintbox_boardMouseUp));
    for (SlotView *slot : image_letters)
        connect(slot, &SlotView::clicked, this, handler(&Tmain::image_letters1Click));
    // The name lives in edit_name; the game follows every change of it from
    // the start, so an empty stored name stays empty rather than the game's "Guest".
    connect(edit_name, &QLineEdit::textChanged, game, &Game::setPlayerName);
    m_game.setPlayerName(edit_name->text());
}

QWidget *Tmain::panelWidget(Game::Panel panel) const
{
    switch (panel) {
    case Game::Panel::Name:
        return panel_name;
    case Game::Panel::Cleared:
        return panel_cleared;
    }
    return nullptr;
}

void Tmain::showTimer(const QString &text, Game::ClockPhase phase)
{
    label_timer->setText(text);
    UiStyle::setTextColor(label_timer, phase == Game::ClockPhase::Calm ? CalmClock : HurryClock);
}

void Tmain::showGreeting(const QString &text)
{
    // The greeting grows with a long name rather than cutting it off.
    label_name->setText(text);
    label_name->resize(qMax(LabelNameWidth, label_name->sizeHint().width()), label_name->height());
}

void Tmain::addword(const QString &text, const QColor &color)
{
    richedit_words->setUpdatesEnabled(false);
    QTextCursor cursor(richedit_words->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(color);
    format.setFontWeight(QFont::Normal);
    cursor.insertText(text, format);
    cursor.insertBlock();
    richedit_words->setUpdatesEnabled(true);
    richedit_words->verticalScrollBar()->setValue(richedit_words->verticalScrollBar()->maximum());
}

void Tmain::button_startClick()
{
    if (const std::optional<Ticket> ticket = m_tickets.takeFresh())
        startOn(ticket->seed, ticket->id);
    else
        startOn(std::nullopt, QString());
}

void Tmain::startOn(std::optional<rules::Seed> seed, const QString &gameId)
{
    // A new game ends a posting's wait panel with the game over.
    panel_wait->hide();
    panel_wait->setCaptionFont(UiStyle::sans(19), UiStyle::Cream);
    panel_wait->setCaptionWrapped(false);
    m_gameId = gameId;
    if (seed)
        m_game.startGame(*seed);
    else
        m_game.startGame();
}

void Tmain::StartGame1Click()
{
    button_startClick();
    m_game.hidePanel(Game::Panel::Cleared);
}

void Tmain::PlayBoardCode1Click()
{
    emit boardCodeRequested();
}

void Tmain::PlayTodaysBoard1Click()
{
    const rules::Seed seed = rules::dailySeed(rules::utcToday());
    const std::optional<Ticket> ticket = m_tickets.takeDaily(seed);
    startOn(seed, ticket ? ticket->id : QString());
    m_game.hidePanel(Game::Panel::Cleared);
}

void Tmain::playBoard(rules::Seed seed)
{
    startOn(seed, QString());
    m_game.hidePanel(Game::Panel::Cleared);
}

void Tmain::BoardReview1Click()
{
    emit reviewRequested();
}

void Tmain::button_reviewClick()
{
    emit reviewRequested();
}

void Tmain::showReviewAvailable()
{
    const bool available = m_game.review() != nullptr;
    BoardReview1->setEnabled(available);
    button_review->setEnabled(available);
}

void Tmain::Exit1Click()
{
    close();
}

void Tmain::TallyList1Click()
{
    emit tallyListRequested();
}

void Tmain::ViewHighScoreList1Click()
{
    emit highScoresRequested();
}

void Tmain::Help2Click()
{
    emit helpRequested();
}

void Tmain::About1Click()
{
    emit aboutRequested();
}

void Tmain::MultiplayerTarvle1Click()
{
    emit multiplayerRequested();
}

void Tmain::button_cancelClick()
{
    m_game.hidePanel(Game::Panel::Cleared);
}

void Tmain::button_clearClick()
{
    m_game.pressclear();
    m_game.playsounds(Cue::Clear);
}

void Tmain::button_sendClick()
{
    m_game.pressdone();
}

void Tmain::button_namedoneClick()
{
    edit_name->setText(edit_aname->text());
    m_game.hidePanel(Game::Panel::Name);
}

void Tmain::button_namecancelClick()
{
    m_game.hidePanel(Game::Panel::Name);
}

void Tmain::button_rotateClick()
{
    m_game.rotateboard();
}

void Tmain::image_letters1Click(int slot)
{
    m_game.slotClicked(slot);
}

void Tmain::paintbox_boardMouseDown(Qt::MouseButton button, QPoint position)
{
    m_game.mouseDown(button == Qt::RightButton, BoardView::pickAt(position).cell);
}

void Tmain::paintbox_boardMouseMove(QPoint position)
{
    const BoardView::Pick pick = BoardView::pickAt(position);
    m_game.mouseMove(pick.cell, pick.insideInnerZone);
}

void Tmain::paintbox_boardMouseUp(Qt::MouseButton, QPoint)
{
    m_game.mouseUp();
}

bool Tmain::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    // Only keys of this window, while it is the active one and a game runs.
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this || !isActiveWindow() || !m_game.isPlaying())
        return QMainWindow::eventFilter(watched, event);

    if (type == QEvent::ShortcutOverride) {
        // Claiming the key keeps it from the menu; it then arrives as a key press.
        event->accept();
        return true;
    }
    ErrorBox::guard(this, [this, event] { FormShortCut(*static_cast<QKeyEvent *>(event)); });
    return true;
}

bool Tmain::FormShortCut(const QKeyEvent &event)
{
    return m_game.keyDown(intentOf(event));
}

KeyIntent Tmain::intentOf(const QKeyEvent &event)
{
    using Kind = KeyIntent::Kind;
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    const bool ctrl = event.modifiers() & Qt::ControlModifier;
    const int key = event.key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {Kind::Send};
    case Qt::Key_Backspace:
        return {Kind::TakeBack};
    // The keypad's digits are other keys and do nothing.
    case Qt::Key_1:
        return {keypad ? Kind::Other : Kind::Clear};
    case Qt::Key_0:
        return {keypad ? Kind::Other : Kind::Rotate};
    case Qt::Key_R:
        if (ctrl)
            return {Kind::Rotate};
        break;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return {Kind::Letter, key - Qt::Key_A + Tile::FirstLetter};
    return {};
}

void Tmain::PlaySounds1Click()
{
    // Turning the sounds off lets a cue already playing finish.
    m_cues.setPlaySounds(!m_cues.playSounds());
    PlaySounds1->setChecked(m_cues.playSounds());
    saveOptions();
}

void Tmain::ClickLetters1Click()
{
    // Both items share this: choosing either one switches to the other
    // method, also when it was the one already checked.
    using Method = Game::Method;
    const Method method = m_game.selectionMethod() == Method::ClickLetters ? Method::Dragging : Method::ClickLetters;
    m_game.setSelectionMethod(method);
    showSelectionMethod();
    saveOptions();
}

void Tmain::showSelectionMethod()
{
    ClickLetters1->setChecked(m_game.selectionMethod() == Game::Method::ClickLetters);
    m_draggingAction->setChecked(m_game.selectionMethod() == Game::Method::Dragging);
}

void Tmain::updatecheckClick()
{
    m_updatecheck = !m_updatecheck;
    updatecheck->setChecked(m_updatecheck);
    saveOptions();
}

void Tmain::saveOptions()
{
    ErrorBox::guard(this, [this] { saveinifile(); });
}

void Tmain::ChangeName1Click()
{
    m_game.showPanel(Game::Panel::Name);
}

void Tmain::ResetScreenLocation1Click()
{
    placeWindow(QRect(MainSettings::DefaultLeft, MainSettings::DefaultTop, defaultwidth, defaultheight));
}

void Tmain::button_sendscoreClick()
{
    if (edit_name->text().isEmpty())
        edit_name->setText(QStringLiteral("Guest"));
    const QString score = QString::number(m_game.score());
    const QString date = ScorePosting::postingDate(QDate::currentDate(), ScorePosting::systemDateSeparator());
    // The wait starts whatever becomes of the request; no answer ends it in
    // "Posting Failed.".
    if (m_gameId.isEmpty())
        m_posting.sendscore(edit_name->text(), date, score);
    else
        m_posting.sendscore(edit_name->text(), date, score, m_gameId, m_game.foundWords());
    panel_wait->setCaptionFont(UiStyle::sans(19), UiStyle::Cream);
    panel_wait->setCaptionWrapped(false);
    showPanel(panel_wait);
}

void Tmain::button_highscoresClick()
{
    emit highScoresRequested();
}

void Tmain::showRefusal(const QString &reason)
{
    // The wait panel stays over SEND SCORE: posting the same game again
    // would be refused again.
    panel_wait->setCaptionFont(UiStyle::sans(12, true), UiStyle::Cream);
    panel_wait->setCaptionWrapped(true);
    panel_wait->setCaption(tr("Not posted: %1").arg(reason));
    showPanel(panel_wait);
    announce(tr("Score not posted: %1").arg(reason));
}

void Tmain::senditAnswered()
{
    m_game.hidePanel(Game::Panel::Cleared);
}

void Tmain::button_updateyesClick()
{
    emit updateAccepted();
}

void Tmain::button_updatecancelClick()
{
    emit updateDeclined();
}

void Tmain::showUpdateOffer()
{
    showPanel(panel_update);
}

void Tmain::showPanel(QWidget *panel)
{
    panel->show();
    panel->raise();
}

void Tmain::hideUpdateButtons()
{
    button_updateyes->hide();
    button_updatecancel->hide();
}

void Tmain::setUpdateStatus(const QString &text)
{
    label_update->setText(text);
}

void Tmain::attachHighScores(Thighscore &highscore)
{
    connect(this, &Tmain::highScoresRequested, &highscore, [this, &highscore] {
        highscore.loadit();
        highscore.showOver(this);
    });
    connect(&m_posting, &ScorePosting::answered, this, [this, &highscore] {
        senditAnswered();
        highscore.loadit();
        highscore.showOver(this);
    });
}

// The window made on demand lives as long as this one.
void Tmain::attachHighScores(std::function<Thighscore &()> highscore)
{
    connect(this, &Tmain::highScoresRequested, this, [this, highscore] {
        Thighscore &window = highscore();
        window.loadit();
        window.showOver(this);
    });
    connect(&m_posting, &ScorePosting::answered, this, [this, highscore] {
        senditAnswered();
        Thighscore &window = highscore();
        window.loadit();
        window.showOver(this);
    });
}

void Tmain::attachUpdateCheck(UpdateCheck &update)
{
    connect(this, &Tmain::updateCheckRequested, &update, &UpdateCheck::start);
    connect(&update, &UpdateCheck::offered, this, &Tmain::showUpdateOffer);
    connect(&update, &UpdateCheck::withdrawn, panel_update, &QWidget::hide);
    connect(&update, &UpdateCheck::buttonsHidden, this, &Tmain::hideUpdateButtons);
    connect(&update, &UpdateCheck::statusChanged, this, &Tmain::setUpdateStatus);
    connect(&update, &UpdateCheck::progressChanged, this, [this](qint64 received, qint64 total) {
        setUpdateStatus(total >= 0 ? tr("Receiving %1 of %2 bytes").arg(received).arg(total)
                                   : tr("Receiving %1 bytes").arg(received));
    });
    connect(&update, &UpdateCheck::failed, this, [this](const QString &message) { ErrorBox::inform(this, message); });
    connect(this, &Tmain::updateDeclined, &update, &UpdateCheck::cancel);
    connect(this, &Tmain::updateAccepted, &update, [this, &update] { ErrorBox::guard(this, [&update] { update.accept(); }); });
}
