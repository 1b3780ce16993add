#pragma once

#include <QString>

// Where the maker's web service answers: a setting of the build (the CMake
// cache variable TARVLE_SERVICE_HOST, host and port).
namespace ServiceHost {

// "host:port", without a scheme.
QString address();
// "http://" + address() + path; path starts with "/".
QString url(const QString &path);

} // namespace ServiceHost
