#include "options.h"
#include "service.h"
#include "serviceconfig.h"
#include "store.h"

#include <httplib.h>

#include <pthread.h>
#include <signal.h>

#include <atomic>
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
constexpr auto stopRetry = std::chrono::milliseconds(10);

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

    try {
        Store store(options.databasePath);
        ServiceConfig config;
        config.versionText = options.versionText;
        config.installerPath = options.installerPath;

        httplib::Server server;
        service::registerRoutes(server, store, config);
        service::installRequestLog(server);

        if (service::bindListener(server, options.bindAddress, options.port) < 0) {
            std::fprintf(stderr, "%s: cannot listen on %s:%d\n", program.c_str(), options.bindAddress.c_str(), options.port);
            return exitFailure;
        }

        std::atomic<bool> finished = false;
        std::thread watcher([&] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            // stop() is a no-op until listening has begun, so repeat until the main loop returns.
            while (!finished) {
                server.stop();
                std::this_thread::sleep_for(stopRetry);
            }
        });

        std::fprintf(stderr, "listening on %s:%d\n", options.bindAddress.c_str(), options.port);
        const bool listened = server.listen_after_bind();
        finished = true;
        pthread_kill(watcher.native_handle(), SIGTERM); // wakes the watcher if no signal came
        watcher.join();
        std::fprintf(stderr, "stopped\n");
        return listened ? exitOk : exitFailure;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), e.what());
        return exitFailure;
    }
}
