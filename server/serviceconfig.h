#pragma once

#include <string>

// What the routes serve besides the database, and the limits they keep.
struct ServiceConfig {
    static constexpr int defaultPostingLimit = 10;
    static constexpr int defaultTicketLimit = 30;

    std::string versionText = "1.0.0";
    // Empty: no installer, its path answers 404.
    std::string installerPath;
    // Requests per client address per clock minute; 0 turns the limit off.
    int postingLimit = defaultPostingLimit;
    int ticketLimit = defaultTicketLimit;
};
