#pragma once

#include "serviceconfig.h"

#include <string>
#include <vector>

// The command line of tarvlesolo-service.
struct Options {
    static constexpr int defaultRequestDeadline = 10; // seconds

    std::string bindAddress = "127.0.0.1";
    int port = 8080;
    std::string databasePath = "tarvlesolo.db";
    std::string versionText = "1.0.0";
    std::string installerPath;
    int postingLimit = ServiceConfig::defaultPostingLimit;
    int ticketLimit = ServiceConfig::defaultTicketLimit;
    int minGameSeconds = ServiceConfig::defaultMinGameSeconds;
    int requestDeadline = defaultRequestDeadline;
    bool help = false;
};

// Either options or what was wrong with the arguments.
struct OptionsCheck {
    Options options;
    std::string error; // empty when the arguments were good
};

namespace options {

// Reads the arguments after the program name.
OptionsCheck parse(const std::vector<std::string> &arguments);
std::string usage(const std::string &program);

} // namespace options
