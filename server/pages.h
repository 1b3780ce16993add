#pragma once

#include "store.h"

#include <string>
#include <string_view>
#include <vector>

// The service's HTML, plain HTML 4 with inline styles because the game shows it in a viewer
// that understands only a subset of HTML and CSS.
namespace pages {

std::string htmlEscape(std::string_view text);

// "http://HOST" for the links of a page: HOST is the request's Host header when it is a plain
// host name or address with an optional port, else `fallback` (where the client reached us).
// Links are absolute because the game hands a link to the desktop exactly as written, and the
// desktop takes a bare path for a folder.
std::string siteBase(std::string_view hostHeader, std::string_view fallback);

// `base` is siteBase()'s answer; it is escaped here.
std::string homePage(std::string_view base, bool installerAvailable);
std::string multiplayerPage(std::string_view base);
// What the high score page shows, each list best first.
struct ScoreLists {
    std::vector<StoredPosting> verified;   // the ranking
    std::string todayCode;                 // today's board code
    std::vector<StoredPosting> today;      // verified games of today's board
    std::vector<StoredPosting> unverified; // posted without a ticket; shown apart, not ranked
};
std::string scoresPage(std::string_view base, const ScoreLists &lists);
// A short page for answers such as "Score posted" or an error; message is escaped here.
std::string messagePage(std::string_view base, std::string_view title, std::string_view message);

} // namespace pages
