#include "WebSecrets.h"

#include <QCryptographicHash>

#include <sodium.h>

namespace itinerary::web {

namespace {

// Interactive limits: about 64 MiB and a tenth of a second a login on this hardware.
constexpr unsigned long long OpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr std::size_t MemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

// A hash of a password nobody knows, checked for a user that does not exist.
const QByteArray &decoyHash() {
    static const QByteArray hash = hashPassword(QString::fromLatin1(randomToken()));
    return hash;
}

} // namespace

bool secretsAvailable() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

QByteArray hashPassword(const QString &password) {
    if (!secretsAvailable())
        return QByteArray();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          OpsLimit, MemLimit) != 0)
        return QByteArray();
    return QByteArray(out);
}

bool passwordMatches(const QByteArray &hash, const QString &password) {
    if (!secretsAvailable())
        return false;
    const bool usable = !hash.isEmpty() && hash.size() < crypto_pwhash_STRBYTES;
    const QByteArray &checked = usable ? hash : decoyHash();
    const QByteArray utf8 = password.toUtf8();
    const bool matches =
        crypto_pwhash_str_verify(checked.constData(), utf8.constData(),
                                 static_cast<unsigned long long>(utf8.size())) == 0;
    return usable && matches;
}

QByteArray randomToken() {
    if (!secretsAvailable())
        return QByteArray();
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    return QByteArray(reinterpret_cast<const char *>(bytes), sizeof bytes).toHex();
}

QByteArray tokenHash(const QByteArray &token) {
    return QCryptographicHash::hash(token, QCryptographicHash::Sha256).toHex();
}

bool sameSecret(const QByteArray &a, const QByteArray &b) {
    return a.size() == b.size() && !a.isEmpty() &&
           sodium_memcmp(a.constData(), b.constData(), std::size_t(a.size())) == 0;
}

} // namespace itinerary::web
