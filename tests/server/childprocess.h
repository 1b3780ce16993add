#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

// A program the test runs beside itself, its output in a file; stopped with SIGTERM (then
// SIGKILL) when the object goes, so a failing test leaves nothing running.
class ChildProcess {
public:
    // Throws when the program cannot be started.
    ChildProcess(const std::vector<std::string> &command, const std::filesystem::path &output);
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // True while it has not exited.
    bool running();
    // SIGTERM, then SIGKILL after five seconds; the exit status, -1 when it did not exit by itself.
    int stop();
    int pid() const { return m_pid; }

private:
    int m_pid = -1;
    bool m_exited = false;
    int m_status = 0;
};

// A port that was free a moment ago on 127.0.0.1, for a program that needs one on its command line.
int freeLoopbackPort();

// Waits until something accepts connections on 127.0.0.1:port; false after `timeout`.
bool waitForPort(int port, std::chrono::milliseconds timeout);

// Everything in the file, or nothing when it cannot be read.
std::string readWholeFile(const std::filesystem::path &path);
