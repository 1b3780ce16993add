#pragma once

#include "store.h"

#include <string>
#include <string_view>
#include <vector>

// The service's HTML, plain HTML 4 with inline styles because the game shows it in a viewer
// that understands only a subset of HTML and CSS.
namespace pages {

std::string htmlEscape(std::string_view text);

std::string homePage(bool installerAvailable);
std::string multiplayerPage();
std::string scoresPage(const std::vector<StoredPosting> &postings);
// A short page for answers such as "Score posted" or an error; message is escaped here.
std::string messagePage(std::string_view title, std::string_view message);

} // namespace pages
