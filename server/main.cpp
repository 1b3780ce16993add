#include "httpserver.h"
#include "options.h"
#include "router.h"
#include "service.h"
#include "serviceconfig.h"
#include "store.h"

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

constexpr int exitOk = 0;
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

// Each waiting client holds a descriptor: take all the system grants rather than the usual 1024.
void raiseDescriptorLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const std::string program = argc > 0 ? argv[0] : "tarvlesolo-service";
    const OptionsCheck check = options::parse(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (!check.error.empty()) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), check.error.c_str(), options::usage(program).c_str());
        return exitUsage;
    }
    const Options &options = check.options;
    if (options.help) {
        std::fputs(options::usage(program).c_str(), stdout);
        return exitOk;
    }
    std::error_code ignored;
    if (!options.installerPath.empty()
        && (!std::filesystem::is_regular_file(options.installerPath, ignored) || !std::ifstream(options.installerPath, std::ios::binary))) {
        std::fprintf(stderr, "%s: cannot read installer %s\n", program.c_str(), options.installerPath.c_str());
        return exitUsage;
    }

    // Block the stop signals before any thread starts, so every thread inherits the mask and only
    // the watcher receives them, through sigwait, outside signal-handler context.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    raiseDescriptorLimit();

    try {
        Store store(options.databasePath);
        ServiceConfig config;
        config.versionText = options.versionText;
        config.installerPath = options.installerPath;
        config.postingLimit = options.postingLimit;
        config.ticketLimit = options.ticketLimit;
        config.minGameSeconds = options.minGameSeconds;
        service::Limiters limiters = service::makeLimiters(store, config);

        Router router;
        service::registerRoutes(router, store, config, limiters);

        HttpServer::Settings settings;
        settings.requestDeadline = std::chrono::seconds(options.requestDeadline);
        settings.bodyLimit = service::payloadLimit;
        settings.log = service::logRequest;
        settings.refusalPage = service::refusalPage;
        HttpServer server(settings, [&router](const HttpRequest &request) { return router.handle(request); });

        if (server.bind(options.bindAddress, options.port) < 0) {
            std::fprintf(stderr, "%s: cannot listen on %s:%d\n", program.c_str(), options.bindAddress.c_str(), options.port);
            return exitFailure;
        }

        std::thread watcher([&] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            server.stop(); // also before run() has begun
        });

        std::fprintf(stderr, "listening on %s:%d\n", options.bindAddress.c_str(), options.port);
        server.run();
        pthread_kill(watcher.native_handle(), SIGTERM); // wakes the watcher if no signal came
        watcher.join();
        std::fprintf(stderr, "stopped\n");
        return exitOk;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), e.what());
        return exitFailure;
    }
}
