#include "signature.h"

#include "trustedkey.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

#include <memory>
#include <optional>

namespace {

constexpr qsizetype SignatureSize = 64;
// Base64 of 64 bytes, and room for a line end.
constexpr qsizetype MaxLineSize = 90;

struct KeyFree {
    void operator()(EVP_PKEY *key) const { EVP_PKEY_free(key); }
};
struct BioFree {
    void operator()(BIO *bio) const { BIO_free(bio); }
};
struct ContextFree {
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using Context = std::unique_ptr<EVP_MD_CTX, ContextFree>;

Key readKey(QByteArrayView pem, bool isPrivate)
{
    std::unique_ptr<BIO, BioFree> bio(BIO_new_mem_buf(pem.data(), int(pem.size())));
    if (!bio)
        return nullptr;
    Key key(isPrivate ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr)
                      : PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
    // Only Ed25519: another kind of key would sign with a digest of its own.
    if (key && EVP_PKEY_get_base_id(key.get()) != EVP_PKEY_ED25519)
        return nullptr;
    return key;
}

// The signature bytes of a line, or nothing when it is not exactly one.
std::optional<QByteArray> signatureOf(QByteArrayView line)
{
    if (line.size() > MaxLineSize)
        return std::nullopt;
    QByteArray text = line.toByteArray();
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.endsWith('\r'))
        text.chop(1);
    const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != SignatureSize || decoded.decoded.toBase64() != text)
        return std::nullopt;
    return decoded.decoded;
}

} // namespace

namespace Signature {

Verdict verify(QByteArrayView data, QByteArrayView line, QByteArrayView publicKeyPem)
{
    const std::optional<QByteArray> signature = signatureOf(line);
    const Key key = readKey(publicKeyPem, false);
    if (!signature || !key)
        return Verdict::Malformed;
    Context context(EVP_MD_CTX_new());
    if (!context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return Verdict::Malformed;
    const int result = EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char *>(signature->constData()),
                                        std::size_t(signature->size()),
                                        reinterpret_cast<const unsigned char *>(data.data()), std::size_t(data.size()));
    return result == 1 ? Verdict::Good : Verdict::Wrong;
}

QByteArray trustedKeyPem()
{
    return QByteArray(TrustedKeyPem);
}

Verdict verifyTrusted(QByteArrayView data, QByteArrayView line)
{
    return verify(data, line, TrustedKeyPem);
}

QByteArray sign(QByteArrayView data, QByteArrayView privateKeyPem)
{
    const Key key = readKey(privateKeyPem, true);
    if (!key)
        throw Error("not an Ed25519 private key in PEM form");
    Context context(EVP_MD_CTX_new());
    QByteArray signature(SignatureSize, '\0');
    std::size_t length = std::size_t(signature.size());
    if (!context || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1
        || EVP_DigestSign(context.get(), reinterpret_cast<unsigned char *>(signature.data()), &length,
                          reinterpret_cast<const unsigned char *>(data.data()), std::size_t(data.size())) != 1
        || length != std::size_t(SignatureSize))
        throw Error("signing failed");
    return signature.toBase64();
}

} // namespace Signature
