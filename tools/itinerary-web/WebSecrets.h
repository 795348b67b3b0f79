#pragma once

#include <QByteArray>
#include <QString>

// Passwords and session tokens, with libsodium's primitives: nothing made up here.
namespace itinerary::web {

// Initialises libsodium once; false when it cannot be used (no random source).
bool secretsAvailable();

// The password as an Argon2id string (salt and parameters included); empty on failure (out
// of memory).
QByteArray hashPassword(const QString &password);
// Whether `password` is the one `hash` was made from. Takes as long for a malformed or empty
// hash as for a real one, so that an unknown user cannot be told from a wrong password.
bool passwordMatches(const QByteArray &hash, const QString &password);

// 256 random bits as 64 lower-case hex digits.
QByteArray randomToken();
// What the database keeps of a token: its SHA-256 in hex. A stolen table lets nobody in.
QByteArray tokenHash(const QByteArray &token);
// Compares two secrets in a time that does not depend on where they differ.
bool sameSecret(const QByteArray &a, const QByteArray &b);

} // namespace itinerary::web
