#include "childprocess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace {

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string> &command, const std::filesystem::path &output)
{
    if (command.empty())
        throw std::invalid_argument("no command");
    std::vector<char *> arguments;
    for (const auto &argument : command)
        arguments.push_back(const_cast<char *>(argument.c_str()));
    arguments.push_back(nullptr);
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        throw std::runtime_error("cannot write " + output.string());
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        ::execv(arguments[0], arguments.data());
        ::_exit(127);
    }
    ::close(out);
    if (m_pid < 0)
        throw std::runtime_error("cannot start " + command[0]);
}

ChildProcess::~ChildProcess()
{
    stop();
}

int ChildProcess::stop()
{
    if (running()) {
        ::kill(m_pid, SIGTERM);
        for (int i = 0; i < 100 && running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (running()) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &m_status, 0);
            m_exited = true;
        }
    }
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

bool ChildProcess::running()
{
    if (m_exited || m_pid <= 0)
        return false;
    if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid)
        m_exited = true;
    return !m_exited;
}

int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
                       && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!bound)
        throw std::runtime_error("no free loopback port");
    return ntohs(address.sin_port);
}

bool waitForPort(int port, std::chrono::milliseconds timeout)
{
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = loopback(port);
        const bool connected = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        if (fd >= 0)
            ::close(fd);
        if (connected)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string readWholeFile(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
