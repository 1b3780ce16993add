#include "pages.h"

#include "points.h"
#include "servicepaths.h"

#include <algorithm>

namespace pages {
namespace {

namespace paths = rules::servicepaths;

constexpr std::string_view linkStyle = R"( style="color:#800000")";

std::string document(std::string_view title, std::string_view body)
{
    std::string html;
    html += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" \"http://www.w3.org/TR/html4/loose.dtd\">\n";
    html += "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n<title>";
    html += htmlEscape(title);
    html += "</title>\n<style type=\"text/css\">a { color: #800000; }</style>\n</head>\n";
    html += "<body bgcolor=\"#FFFFE6\" text=\"#000000\" link=\"#800000\" vlink=\"#800000\" "
            "style=\"background-color:#FFFFE6; color:#000000; font-family:'Times New Roman', serif;\">\n";
    html += body;
    html += "</body>\n</html>\n";
    return html;
}

std::string link(std::string_view base, std::string_view path, std::string_view text)
{
    std::string html = "<a href=\"";
    html += htmlEscape(base);
    html += htmlEscape(path);
    html += '"';
    html += linkStyle;
    html += '>';
    html += htmlEscape(text);
    html += "</a>";
    return html;
}

bool isHostCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}

bool isPort(std::string_view text)
{
    return !text.empty() && text.size() <= 5 && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// host[:port], host a name or IPv4 address, or [IPv6]:port; nothing that could leave the authority.
bool isPlainAuthority(std::string_view text)
{
    constexpr std::size_t maxHost = 255;
    if (text.empty() || text.size() > maxHost + 7)
        return false;
    std::string_view host = text;
    std::string_view port;
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close < 3)
            return false;
        if (text.substr(1, close - 1).find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos)
            return false;
        const std::string_view rest = text.substr(close + 1);
        if (rest.empty())
            return true;
        return rest.front() == ':' && isPort(rest.substr(1));
    }
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (!isPort(port))
            return false;
    }
    return !host.empty() && host.size() <= maxHost && std::all_of(host.begin(), host.end(), isHostCharacter);
}

std::string scoreTable(const std::vector<StoredPosting> &postings, bool ranked)
{
    std::string html = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n<tr>";
    html += ranked ? "<th>Rank</th>" : "";
    html += "<th>Name</th><th>Score</th><th>Date</th></tr>\n";
    int rank = 0;
    for (const auto &posting : postings) {
        html += "<tr>";
        ++rank;
        if (ranked)
            html += "<td align=\"right\">" + std::to_string(rank) + "</td>";
        html += "<td>" + htmlEscape(posting.name) + "</td><td align=\"right\">" + std::to_string(posting.score)
                + "</td><td>" + htmlEscape(posting.date) + "</td></tr>\n";
    }
    html += "</table>\n";
    return html;
}

} // namespace

std::string siteBase(std::string_view hostHeader, std::string_view fallback)
{
    return "http://" + std::string(isPlainAuthority(hostHeader) ? hostHeader : fallback);
}

std::string htmlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string homePage(std::string_view base, bool installerAvailable)
{
    std::string body;
    body += "<h1>Tarvle Solo</h1>\n";
    body += "<p>Tarvle Solo is a timed word game for one player. You have 180 seconds and an 8&times;8 board "
            "of letter tiles. Spell words of 3 to 12 letters from tiles that touch one another, and the "
            "longer the word, the more it is worth.</p>\n";
    body += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n<tr><th>Letters</th><th>Points</th></tr>\n";
    for (int letters = rules::MinWord; letters <= rules::MaxWord; ++letters) {
        body += "<tr><td align=\"center\">" + std::to_string(letters) + "</td><td align=\"center\">"
                + std::to_string(rules::pointsFor(letters)) + "</td></tr>\n";
    }
    body += "</table>\n<ul>\n";
    body += "<li>" + link(base, paths::Scores, "High scores") + "</li>\n";
    body += "<li>" + link(base, paths::Multiplayer, "Multiplayer") + "</li>\n";
    if (installerAvailable)
        body += "<li>" + link(base, paths::Installer, "Download the installer") + "</li>\n";
    body += "</ul>\n";
    return document("Tarvle Solo", body);
}

std::string multiplayerPage(std::string_view base)
{
    std::string body;
    body += "<h1>Tarvle Solo: multiplayer</h1>\n";
    body += "<p>A multiplayer version of the game, where players race on the same board, is coming to this "
            "site. It is not ready yet; until then, play the solo game and post your best scores.</p>\n";
    body += "<p>" + link(base, paths::Scores, "High scores") + " | " + link(base, paths::Home, "Home") + "</p>\n";
    return document("Tarvle Solo: multiplayer", body);
}

std::string scoresPage(std::string_view base, const ScoreLists &lists)
{
    std::string body;
    body += "<h1>Tarvle Solo high scores</h1>\n";
    if (lists.verified.empty())
        body += "<p>No scores have been posted yet.</p>\n";
    else
        body += scoreTable(lists.verified, true);

    body += "<h2>Today&#39;s board, " + htmlEscape(lists.todayCode) + "</h2>\n";
    if (lists.today.empty())
        body += "<p>No scores on today&#39;s board yet.</p>\n";
    else
        body += scoreTable(lists.today, true);

    if (!lists.unverified.empty()) {
        body += "<h2>Unverified scores</h2>\n<p>These scores were posted by older copies of the game, without the "
                "words of the game, so they could not be checked. They are not ranked.</p>\n";
        body += scoreTable(lists.unverified, false);
    }
    body += "<p>" + link(base, paths::Home, "Tarvle Solo home page") + "</p>\n";
    return document("Tarvle Solo high scores", body);
}

std::string messagePage(std::string_view base, std::string_view title, std::string_view message)
{
    std::string body = "<h1>" + htmlEscape(title) + "</h1>\n<p>" + htmlEscape(message) + "</p>\n<p>"
                       + link(base, paths::Home, "Tarvle Solo home page") + "</p>\n";
    return document(title, body);
}

} // namespace pages
