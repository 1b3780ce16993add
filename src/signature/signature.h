#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <stdexcept>

// Detached Ed25519 signatures of the update installer. A signature travels as
// one line of text: the 64 signature bytes in base64, optionally followed by
// a line end.
namespace Signature {

enum class Verdict {
    Good,
    Malformed, // not one line of base64 for 64 bytes, or no usable key
    Wrong,     // well formed, but not a signature of these bytes by this key
};

// A key file or a signing that failed; the message says which.
class Error : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Checks the line against the data and a PEM public key.
Verdict verify(QByteArrayView data, QByteArrayView line, QByteArrayView publicKeyPem);
// verify() with the public key the game was built to trust.
Verdict verifyTrusted(QByteArrayView data, QByteArrayView line);
QByteArray trustedKeyPem();

// The signature line (without a line end) of data under a PEM private key.
// Throws Error.
QByteArray sign(QByteArrayView data, QByteArrayView privateKeyPem);

} // namespace Signature
