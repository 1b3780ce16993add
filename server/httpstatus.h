#pragma once

namespace httpstatus {
constexpr int ok = 200;
constexpr int badRequest = 400;
constexpr int forbidden = 403;
constexpr int notFound = 404;
constexpr int methodNotAllowed = 405;
constexpr int conflict = 409;
constexpr int gone = 410;
constexpr int payloadTooLarge = 413;
constexpr int unprocessable = 422;
constexpr int tooManyRequests = 429;
constexpr int headersTooLarge = 431;
constexpr int internalError = 500;
} // namespace httpstatus
