#pragma once

#include <string_view>

// Where the game and the service host meet: the service's paths and the query
// keys of a posted score. Plain C strings so that Qt, std::string and the
// HTTP library all take them as they are.
namespace rules::servicepaths {

// GET Posting?name=...&date=...&score=... posts a score.
constexpr const char *Posting = "/cgi-bin/tarvlesolo.cgi";
constexpr const char *NameKey = "name";
constexpr const char *DateKey = "date";
constexpr const char *ScoreKey = "score";
// A posting that carries these two as well is checked against its ticket.
constexpr const char *GameKey = "game";
constexpr const char *WordsKey = "words"; // upper case, comma-separated, in the order found

// GET Ticket answers one line "ID CODE": a game id and the board code to play;
// Ticket?daily=1 gives today's board.
constexpr const char *Ticket = "/tarvlesolo/ticket";
constexpr const char *DailyKey = "daily";

constexpr const char *Scores = "/counter/tarvlesolo.shtml";
constexpr const char *Version = "/tarvlesolo/tarvlesoloversion.txt";
constexpr const char *Installer = "/tarvlesolo/trvsetup.exe";
// The installer's Ed25519 signature: one line of base64.
constexpr const char *InstallerSignature = "/tarvlesolo/trvsetup.exe.sig";
// The installer's name once downloaded beside the program.
constexpr const char *InstallerFile = "trvsetup.exe";
constexpr const char *Home = "/";
constexpr const char *Multiplayer = "/multiplayer.html";

static_assert(std::string_view(Installer).ends_with(InstallerFile));
static_assert(std::string_view(InstallerSignature).starts_with(Installer));

} // namespace rules::servicepaths
