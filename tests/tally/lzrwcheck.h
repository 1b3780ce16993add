#pragma once

#include <QByteArray>

#include <string>

// Properties that must hold for any input, shared by the fuzzer and the
// tests. Each returns an empty string when they hold, else what broke; none
// asserts, so the checks stay on in every build.
namespace LzrwCheck {

// The input as one coded block: decoding stays within the limits, gives the
// reference decoder's size, bytes and error, and what decodes codes (as the
// reference coder codes it) and decodes back to itself.
std::string checkBlock(const QByteArray &coded);

// The input as a container: it unpacks to its stored size or fails with an
// ELzrw1Exception, never anything else; what unpacks packs back to itself.
std::string checkContainer(const QByteArray &container);

// The input as plain data: packing then unpacking gives it back, every block
// is coded to the reference coder's bytes, and none longer than its stored
// form.
std::string checkRoundTrip(const QByteArray &data);

// All three.
std::string checkAll(const QByteArray &input);

} // namespace LzrwCheck
