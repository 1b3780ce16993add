#include "pgconnection.h"

#include <libpq-fe.h>

#include <charconv>

namespace {

std::string messageOf(const PGconn *connection)
{
    std::string message = PQerrorMessage(connection);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "unknown PostgreSQL failure" : message;
}

// libpq's view of parameters in the text format: pointers into the strings, which must outlive them.
std::vector<const char *> pointersTo(const std::vector<std::string> &parameters)
{
    std::vector<const char *> values;
    values.reserve(parameters.size());
    for (const std::string &parameter : parameters)
        values.push_back(parameter.c_str());
    return values;
}

} // namespace

PgResult::PgResult(pg_result *result)
    : m_result(result)
{
}

void PgResult::Clear::operator()(pg_result *result) const
{
    PQclear(result);
}

int PgResult::rows() const
{
    return PQntuples(m_result.get());
}

std::string PgResult::text(int row, int column) const
{
    const char *value = PQgetvalue(m_result.get(), row, column);
    return std::string(value, static_cast<std::size_t>(PQgetlength(m_result.get(), row, column)));
}

std::int64_t PgResult::integer(int row, int column) const
{
    const std::string value = text(row, column);
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size())
        throw StoreError("expected an integer from PostgreSQL, got \"" + value + "\"");
    return number;
}

bool PgResult::boolean(int row, int column) const
{
    return text(row, column) == "t";
}

std::string PgResult::failure() const
{
    switch (PQresultStatus(m_result.get())) {
    case PGRES_COMMAND_OK:
    case PGRES_TUPLES_OK:
        return {};
    case PGRES_PIPELINE_ABORTED:
        return "not run: an earlier statement failed";
    default:
        const char *message = m_result ? PQresultErrorMessage(m_result.get()) : "";
        return *message ? message : "failed";
    }
}

bool PgResult::isSyncPoint() const
{
    return m_result && PQresultStatus(m_result.get()) == PGRES_PIPELINE_SYNC;
}

int PgResult::affected() const
{
    const char *tuples = PQcmdTuples(m_result.get());
    int number = 0;
    std::from_chars(tuples, tuples + std::char_traits<char>::length(tuples), number);
    return number;
}

PgConnection::PgConnection(const std::string &uri, std::vector<PreparedStatement> statements)
{
    // The URI's own settings win over these defaults: they come after them.
    const char *keywords[] = {"connect_timeout", "application_name", "client_encoding", "dbname", nullptr};
    const char *values[] = {"10", "tarvlesolo-service", "UTF8", uri.c_str(), nullptr};
    m_connection = PQconnectdbParams(keywords, values, 1);
    if (!m_connection)
        throw StoreError("cannot allocate a PostgreSQL connection");
    if (PQstatus(m_connection) != CONNECTION_OK) {
        const std::string message = messageOf(m_connection);
        PQfinish(m_connection);
        throw StoreError("cannot connect to PostgreSQL: " + message);
    }
    prepare(std::move(statements));
}

PgConnection::~PgConnection()
{
    PQfinish(m_connection);
}

PgResult PgConnection::checked(pg_result *raw, std::string_view what)
{
    PgResult result(raw);
    if (result.failure().empty())
        return result;
    const std::string message = raw && *PQresultErrorMessage(raw) ? PQresultErrorMessage(raw) : messageOf(m_connection);
    if (isBroken())
        throw ConnectionLost(std::string(what) + ": " + message);
    throw StoreError(std::string(what) + ": " + message);
}

PgResult PgConnection::run(const char *statement, const std::vector<std::string> &parameters)
{
    const std::vector<const char *> values = pointersTo(parameters);
    return checked(PQexecPrepared(m_connection, statement, static_cast<int>(values.size()), values.data(), nullptr,
                                  nullptr, 0),
                   statement);
}

std::vector<PgResult> PgConnection::pipeline(const std::vector<PgStep> &steps)
{
    const auto fail = [this](const std::string &message) {
        // A session left halfway through a pipeline is of no further use: a new one in its place.
        if (PQexitPipelineMode(m_connection) != 1 && !isBroken())
            reconnect();
        if (isBroken())
            throw ConnectionLost(message);
        throw StoreError(message);
    };
    if (PQenterPipelineMode(m_connection) != 1)
        fail("cannot enter pipeline mode: " + messageOf(m_connection));
    for (const PgStep &step : steps) {
        const std::vector<const char *> values = pointersTo(step.parameters);
        const int sent = step.prepared
            ? PQsendQueryPrepared(m_connection, step.prepared, static_cast<int>(values.size()), values.data(), nullptr,
                                  nullptr, 0)
            : PQsendQueryParams(m_connection, step.sql, 0, nullptr, nullptr, nullptr, nullptr, 0);
        if (sent != 1)
            fail("cannot send a statement: " + messageOf(m_connection));
    }
    if (PQpipelineSync(m_connection) != 1)
        fail("cannot send a pipeline: " + messageOf(m_connection));

    // Every answer up to the sync point is read, so the session leaves pipeline mode in step with
    // the server.
    std::vector<PgResult> results;
    results.reserve(steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        PGresult *raw = PQgetResult(m_connection);
        if (!raw)
            fail("pipeline: " + messageOf(m_connection));
        results.emplace_back(raw);
        // Each statement's answers end with a null.
        while (PGresult *extra = PQgetResult(m_connection))
            PQclear(extra);
    }
    PgResult sync(PQgetResult(m_connection));
    if (!sync.isSyncPoint() || isBroken())
        fail("pipeline: " + messageOf(m_connection));
    PQexitPipelineMode(m_connection);
    return results;
}

PgResult PgConnection::command(const char *sql)
{
    return checked(PQexec(m_connection, sql), sql);
}

void PgConnection::prepare(std::vector<PreparedStatement> statements)
{
    m_statements = std::move(statements);
    prepareAll();
}

void PgConnection::prepareAll()
{
    for (const PreparedStatement &statement : m_statements)
        checked(PQprepare(m_connection, statement.name, statement.sql, 0, nullptr), statement.name);
}

bool PgConnection::isBroken() const
{
    return PQstatus(m_connection) == CONNECTION_BAD;
}

void PgConnection::reconnect()
{
    PQreset(m_connection);
    if (PQstatus(m_connection) != CONNECTION_OK)
        throw StoreError("cannot reconnect to PostgreSQL: " + messageOf(m_connection));
    prepareAll();
}
