#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace itinerary {

// Text from bytes, and where the bytes were not what the text was read as.
struct DecodedText {
    QString text;
    // Read as UTF-8 though some bytes are not UTF-8: the lines (from 1) that hold them, each
    // such byte replaced by U+FFFD. Empty for valid UTF-8 and for GB18030.
    QList<int> replacedLines;
};

// Text arriving as bytes from outside (files, standard input, the wire), decided per text:
// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark dropped); UTF-8 with the
// bad bytes replaced when the bytes are mostly UTF-8 (its multi-byte characters outnumber the
// bad bytes at least two to one: one stray byte in a UTF-8 file must not turn the whole file
// into GB18030 garbage); GB18030 otherwise, so files from Chinese Windows systems (GBK) stay
// readable (GBK text reads as nearly nothing but bad UTF-8 bytes).
DecodedText decodeText(const QByteArray &bytes);

// decodeText(bytes).text.
QString decodeUtf8OrGb18030(const QByteArray &bytes);

// True when the bytes are valid UTF-8.
bool isValidUtf8(const QByteArray &bytes);

// GB18030 bytes: byte for byte GBK for every character GBK has.
QByteArray encodeGb18030(const QString &text);

// Line numbers for a message: "2、5、9"; past ten of them, the first ten and how many in all
// ("1、2、…、10行等共14", to be followed by "行" as a single list is).
QString lineNumbersText(const QList<int> &lines);

} // namespace itinerary
