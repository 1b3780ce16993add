#include "postgrescluster.h"

#include "childprocess.h"

#include <libpq-fe.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char **environ;

namespace {

constexpr int startAttempts = 3; // another process may take the free port before the server does
constexpr auto readyLimit = std::chrono::seconds(60);
constexpr const char *unprivilegedUser = "nobody";
constexpr const char *unprivilegedGroup = "nogroup";

bool isRoot()
{
    return ::geteuid() == 0;
}

std::string tail(const std::filesystem::path &path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    std::string all = text.str();
    constexpr std::size_t keep = 2000;
    return all.size() > keep ? all.substr(all.size() - keep) : all;
}

struct Finisher {
    void operator()(PGconn *connection) const { PQfinish(connection); }
};
struct Clearer {
    void operator()(PGresult *result) const { PQclear(result); }
};

// One statement on a connection of its own, so a test's SQL never shares a store's session.
std::unique_ptr<PGresult, Clearer> query(const std::string &uri, const std::string &sql, const std::vector<std::string> &parameters)
{
    const std::unique_ptr<PGconn, Finisher> connection(PQconnectdb(uri.c_str()));
    if (PQstatus(connection.get()) != CONNECTION_OK)
        throw std::runtime_error(std::string("cannot connect to the test cluster: ") + PQerrorMessage(connection.get()));
    std::vector<const char *> values;
    for (const std::string &parameter : parameters)
        values.push_back(parameter.c_str());
    std::unique_ptr<PGresult, Clearer> result(PQexecParams(connection.get(), sql.c_str(), static_cast<int>(values.size()),
                                                           nullptr, values.data(), nullptr, nullptr, 0));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error(sql + ": " + PQresultErrorMessage(result.get()));
    return result;
}

} // namespace

PostgresCluster::PostgresCluster()
{
    const std::filesystem::path bin = binaries;
    for (const char *tool : {"initdb", "pg_ctl", "postgres"}) {
        if (::access((bin / tool).c_str(), X_OK) != 0)
            throw std::runtime_error("PostgreSQL 15 is not installed (no " + (bin / tool).string()
                                     + "): run scripts/install-deps.sh to install it");
    }
    // Under root the server runs as nobody, who must reach the folder: /tmp is open to all.
    const std::filesystem::path parent = isRoot() ? std::filesystem::path("/tmp") : std::filesystem::temp_directory_path();
    std::string pattern = (parent / "tarvlesolo-pg-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed for the PostgreSQL cluster");
    m_folder = pattern;
    m_data = m_folder / "data";
    try {
        if (isRoot()) {
            const passwd *user = ::getpwnam(unprivilegedUser);
            const group *group = ::getgrnam(unprivilegedGroup);
            if (!user || !group || ::chown(m_folder.c_str(), user->pw_uid, group->gr_gid) != 0)
                throw std::runtime_error("cannot hand " + m_folder.string() + " to nobody:nogroup");
        }
        run({(bin / "initdb").string(), "-D", m_data.string(), "-U", superuser, "-A", "trust", "-E", "UTF8",
             "--no-locale", "--no-sync"},
            "initdb");
        start();
        watchOverTheCluster();
    } catch (...) {
        stop();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
        throw;
    }
}

PostgresCluster::~PostgresCluster()
{
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
    if (m_watchdog > 0) {
        // One byte: all is done, the watchdog has nothing to clean.
        const char done = 1;
        (void)!::write(m_watchdogPipe, &done, 1);
        ::close(m_watchdogPipe);
        ::waitpid(m_watchdog, nullptr, 0);
    }
}

void PostgresCluster::watchOverTheCluster()
{
    // A test process that crashes or is killed runs no destructor: a child of its own, in a
    // session of its own, waits on a pipe and stops the server and removes the folder when the
    // pipe closes without the all-clear.
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        return;
    }
    if (child == 0) {
        ::close(ends[1]);
        ::setsid();
        char done = 0;
        ssize_t got = 0;
        while ((got = ::read(ends[0], &done, 1)) < 0 && errno == EINTR) {
        }
        if (got <= 0) {
            stop();
            std::error_code ignored;
            std::filesystem::remove_all(m_folder, ignored);
        }
        ::_exit(0);
    }
    ::close(ends[0]);
    m_watchdog = child;
    m_watchdogPipe = ends[1];
}

void PostgresCluster::run(std::vector<std::string> arguments, const std::string &what) const
{
    if (isRoot()) {
        const std::vector<std::string> drop = {"/usr/bin/setpriv", std::string("--reuid=") + unprivilegedUser,
                                               std::string("--regid=") + unprivilegedGroup, "--clear-groups", "--"};
        arguments.insert(arguments.begin(), drop.begin(), drop.end());
    }
    const std::filesystem::path log = m_folder / "commands.log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The caller's folder may be closed to nobody (a clone under /root).
    posix_spawn_file_actions_addchdir_np(&actions, m_folder.c_str());
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + arguments[0] + " for " + what);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(what + " failed:\n" + tail(log) + tail(m_folder / "server.log"));
}

void PostgresCluster::start()
{
    const std::filesystem::path bin = binaries;
    if (m_running)
        return;
    // A restart keeps its port, so the URIs handed out stay good.
    const bool restart = m_port != 0;
    for (int attempt = 1;; ++attempt) {
        if (!restart)
            m_port = freeLoopbackPort();
        if (!restart) {
            // Later lines win, so a retry on another port appends its own.
            std::ofstream conf(m_data / "postgresql.conf", std::ios::app);
            conf << "\nport = " << m_port << "\nlisten_addresses = '127.0.0.1'\nunix_socket_directories = '"
                 << m_folder.string() << "'\nfsync = off\nsynchronous_commit = off\nfull_page_writes = off\n"
                 << "max_connections = 100\nshared_buffers = 16MB\n";
        }
        try {
            run({(bin / "pg_ctl").string(), "-D", m_data.string(), "-l", (m_folder / "server.log").string(), "-w", "-t",
                 std::to_string(readyLimit.count()), "start"},
                "starting PostgreSQL");
            m_running = true;
            break;
        } catch (const std::runtime_error &) {
            if (restart || attempt == startAttempts)
                throw;
        }
    }
    // pg_ctl waits for the server; make sure it takes a connection on the port too.
    const std::string probe = uri("postgres");
    const auto giveUp = std::chrono::steady_clock::now() + readyLimit;
    while (PQping(probe.c_str()) != PQPING_OK) {
        if (std::chrono::steady_clock::now() > giveUp)
            throw std::runtime_error("PostgreSQL started but takes no connections:\n" + tail(m_folder / "server.log"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void PostgresCluster::stop()
{
    if (!m_running)
        return;
    m_running = false;
    try {
        run({(std::filesystem::path(binaries) / "pg_ctl").string(), "-D", m_data.string(), "-m", "fast", "-w", "stop"},
            "stopping PostgreSQL");
    } catch (const std::runtime_error &) {
        // Our own server only: its process id is the first line of its pid file.
        std::ifstream pidFile(m_data / "postmaster.pid");
        pid_t pid = 0;
        if (pidFile >> pid && pid > 0)
            ::kill(pid, SIGQUIT);
    }
}

std::string PostgresCluster::uri(const std::string &database) const
{
    return "postgresql://" + std::string(superuser) + "@127.0.0.1:" + std::to_string(m_port) + "/" + database;
}

std::string PostgresCluster::createDatabase()
{
    const std::string name = "test" + std::to_string(++m_databases);
    execute("postgres", "CREATE DATABASE " + name);
    return name;
}

void PostgresCluster::dropDatabase(const std::string &name)
{
    execute("postgres", "DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
}

int PostgresCluster::execute(const std::string &database, const std::string &sql, const std::vector<std::string> &parameters) const
{
    const auto result = query(uri(database), sql, parameters);
    if (PQresultStatus(result.get()) == PGRES_TUPLES_OK)
        return PQntuples(result.get());
    return std::atoi(PQcmdTuples(result.get()));
}

std::string PostgresCluster::queryValue(const std::string &database, const std::string &sql,
                                        const std::vector<std::string> &parameters) const
{
    const auto result = query(uri(database), sql, parameters);
    if (PQntuples(result.get()) < 1 || PQnfields(result.get()) < 1)
        throw std::runtime_error(sql + ": returned no value");
    return PQgetvalue(result.get(), 0, 0);
}
