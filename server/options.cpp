#include "options.h"

#include <charconv>

namespace options {
namespace {

constexpr int maxPort = 65535;
constexpr int maxLimit = 1000000;
constexpr int maxDeadline = 3600;
constexpr int maxMinGameSeconds = 86400; // a ticket's whole life

bool parseNumber(const std::string &text, int minimum, int maximum, int &number)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < minimum || value > maximum)
        return false;
    number = value;
    return true;
}

} // namespace

OptionsCheck parse(const std::vector<std::string> &arguments)
{
    OptionsCheck result;
    Options &options = result.options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        }
        const bool takesValue = argument == "--bind" || argument == "--port" || argument == "--db"
                                || argument == "--version-text" || argument == "--installer"
                                || argument == "--posting-limit" || argument == "--ticket-limit"
                                || argument == "--request-deadline" || argument == "--min-game-seconds";
        if (!takesValue) {
            result.error = "unknown argument: " + argument;
            return result;
        }
        if (i + 1 >= arguments.size()) {
            result.error = argument + " needs a value";
            return result;
        }
        const std::string &value = arguments[++i];
        if (argument == "--bind") {
            options.bindAddress = value;
        } else if (argument == "--port") {
            if (!parseNumber(value, 1, maxPort, options.port)) {
                result.error = "--port needs a number from 1 to 65535";
                return result;
            }
        } else if (argument == "--posting-limit" || argument == "--ticket-limit") {
            if (!parseNumber(value, 0, maxLimit, argument == "--posting-limit" ? options.postingLimit : options.ticketLimit)) {
                result.error = argument + " needs a number from 0 (no limit) to 1000000";
                return result;
            }
        } else if (argument == "--request-deadline") {
            if (!parseNumber(value, 1, maxDeadline, options.requestDeadline)) {
                result.error = "--request-deadline needs a number of seconds from 1 to 3600";
                return result;
            }
        } else if (argument == "--min-game-seconds") {
            if (!parseNumber(value, 0, maxMinGameSeconds, options.minGameSeconds)) {
                result.error = "--min-game-seconds needs a number of seconds from 0 to 86400";
                return result;
            }
        } else if (argument == "--db") {
            options.databasePath = value;
        } else if (argument == "--version-text") {
            options.versionText = value;
        } else {
            options.installerPath = value;
        }
        if (value.empty() && argument != "--version-text") {
            result.error = argument + " needs a non-empty value";
            return result;
        }
    }
    return result;
}

std::string usage(const std::string &program)
{
    const std::string postings = std::to_string(ServiceConfig::defaultPostingLimit);
    const std::string tickets = std::to_string(ServiceConfig::defaultTicketLimit);
    const std::string deadline = std::to_string(Options::defaultRequestDeadline);
    const std::string minGame = std::to_string(ServiceConfig::defaultMinGameSeconds);
    return "Usage: " + program
           + " [--bind ADDR] [--port N] [--db FILE] [--version-text TEXT] [--installer FILE]\n"
             "       [--posting-limit N] [--ticket-limit N] [--min-game-seconds S]\n"
             "       [--request-deadline S] [--help]\n"
             "  --bind ADDR           address to listen on (default 127.0.0.1)\n"
             "  --port N              port to listen on (default 8080)\n"
             "  --db FILE             SQLite database, created when missing and brought up to date\n"
             "                        in place when older (default tarvlesolo.db)\n"
             "  --version-text TEXT   text served as the current game version (default 1.0.0)\n"
             "  --installer FILE      installer served for download, with FILE.sig as its signature\n"
             "                        when that file exists (default: none, answered 404)\n"
             "  --posting-limit N     score postings accepted per client address per clock minute;\n"
             "                        past it a posting is answered 429 and not stored; IPv6\n"
             "                        addresses count by their /64; 0 turns the limit off, for\n"
             "                        load tests (default " + postings + ")\n"
             "  --ticket-limit N      game tickets (GET /tarvlesolo/ticket) handed out per client\n"
             "                        address per clock minute; past it 429; 0 for no limit\n"
             "                        (default " + tickets + ")\n"
             "  --min-game-seconds S  a verified posting (one with game= and words=) is refused as\n"
             "                        \"Posted too early.\" when it comes sooner than S seconds after\n"
             "                        its ticket was handed out; 0 lets tests post at once\n"
             "                        (default " + minGame + ", one game's clock; every ticket\n"
             "                        expires 24 hours after it was handed out)\n"
             "  --request-deadline S  seconds a client has to send each whole request, headers and\n"
             "                        body, counted from when the service starts waiting for it (so\n"
             "                        also how long an idle kept-alive connection stays open);\n"
             "                        a connection that misses it is closed (default " + deadline + ")\n"
             "The limits are counted in the database, so instances sharing one database share them.\n";
}

} // namespace options
