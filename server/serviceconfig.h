#pragma once

#include <string>

// What the routes serve besides the database, and the limits they keep.
struct ServiceConfig {
    static constexpr int defaultPostingLimit = 10;
    static constexpr int defaultTicketLimit = 30;
    static constexpr int defaultMinGameSeconds = 180; // one game's clock

    std::string versionText = "1.0.0";
    // Empty: no installer, its path answers 404.
    std::string installerPath;
    // Requests per client address per clock minute; 0 turns the limit off.
    int postingLimit = defaultPostingLimit;
    int ticketLimit = defaultTicketLimit;
    // A game posted sooner after its ticket was handed out is refused as played too fast.
    int minGameSeconds = defaultMinGameSeconds;
};
