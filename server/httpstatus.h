#pragma once

namespace httpstatus {
constexpr int ok = 200;
constexpr int badRequest = 400;
constexpr int notFound = 404;
constexpr int internalError = 500;
} // namespace httpstatus
