#pragma once

#include <stdexcept>
#include <string>

// An HTTP download that failed: the server's status (400 or more), or 404
// when the host could not be resolved or connected.
class HttpError : public std::runtime_error
{
public:
    explicit HttpError(int status)
        : std::runtime_error("HTTP error " + std::to_string(status))
        , m_status(status)
    {
    }

    int status() const { return m_status; }

private:
    int m_status;
};
