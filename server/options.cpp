#include "options.h"

#include <charconv>

namespace options {
namespace {

constexpr int maxPort = 65535;

bool parsePort(const std::string &text, int &port)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > maxPort)
        return false;
    port = value;
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
                                || argument == "--version-text" || argument == "--installer";
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
            if (!parsePort(value, options.port)) {
                result.error = "--port needs a number from 1 to 65535";
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
    return "Usage: " + program
           + " [--bind ADDR] [--port N] [--db FILE] [--version-text TEXT] [--installer FILE] [--help]\n"
             "  --bind ADDR          address to listen on (default 127.0.0.1)\n"
             "  --port N             port to listen on (default 8080)\n"
             "  --db FILE            SQLite database, created when missing (default tarvlesolo.db)\n"
             "  --version-text TEXT  text served as the current game version (default 1.0.0)\n"
             "  --installer FILE     installer served for download, with FILE.sig as its signature\n"
             "                       when that file exists (default: none, answered 404)\n";
}

} // namespace options
