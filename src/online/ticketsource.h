#pragma once

#include "boardcode.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// A game the service handed out: its id and the board to play. A score
// posted with the id and the game's words is checked by the service.
struct Ticket {
    QString id;
    rules::Seed seed = 0;
    QDateTime fetched; // UTC
};

// Keeps one ticket for a fresh board and one for today's board at hand,
// fetched in the background so that starting a game never waits. Without a
// service there are none, and games are dealt locally as ever.
class TicketSource : public QObject
{
    Q_OBJECT

public:
    // A reply is one short line; anything longer is not a ticket.
    static constexpr int MaxReply = 256;
    static constexpr int TransferTimeoutMs = 20000;
    // The service takes a game until a day after its ticket; a kept ticket
    // older than this is fetched anew so that a game on it can still be posted.
    static constexpr qint64 KeepSeconds = 20 * 3600;

    explicit TicketSource(QObject *parent = nullptr);
    ~TicketSource() override;

    // "http://host:port"; the build's service host unless set otherwise.
    void setServiceBase(const QString &base) { m_base = base; }

    // Fetching starts here; until then there are no tickets.
    void start();
    bool started() const { return m_started; }

    // The kept ticket, which is then fetched anew; nothing while none is at hand.
    std::optional<Ticket> takeFresh();
    // The kept ticket for the board of today's seed; a ticket for another
    // day's board (fetched before midnight UTC) is not handed out.
    std::optional<Ticket> takeDaily(rules::Seed todaysSeed);

    bool hasFresh() const { return m_freshSlot.ticket.has_value(); }
    bool hasDaily() const { return m_dailySlot.ticket.has_value(); }

    // "ID CODE" with an id of 16 to 64 characters of A-Z a-z 0-9 - _ and a
    // well-formed board code; anything else is no ticket.
    static std::optional<Ticket> parse(const QByteArray &reply);

signals:
    // A fetch ended, with or without a ticket.
    void fetched();

private:
    enum class Kind { Fresh, Daily };
    struct Slot {
        std::optional<Ticket> ticket;
        QNetworkReply *reply = nullptr;
    };

    Slot &slot(Kind kind) { return kind == Kind::Fresh ? m_freshSlot : m_dailySlot; }
    void refill();
    void fetch(Kind kind);
    void finished(Kind kind);

    QString m_base;
    QNetworkAccessManager *m_manager;
    bool m_started = false;
    Slot m_freshSlot;
    Slot m_dailySlot;
};
