#include "base/TextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// How UTF-8 the bytes look: their multi-byte characters, and the bytes that begin no valid
// sequence with the lines (from 1) that hold them.
struct Utf8Census {
    qsizetype characters = 0;
    qsizetype badBytes = 0;
    QList<int> badLines;
};

// The length of the valid UTF-8 sequence of two or more bytes at `at`, 0 when there is none
// (overlong forms, surrogates and code points past U+10FFFF are not valid).
int sequenceLength(const QByteArray &bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0; };
    const auto follows = [&](qsizetype i, uchar low = 0x80, uchar high = 0xBF) {
        return byte(i) >= low && byte(i) <= high;
    };
    const uchar lead = byte(at);
    if (lead >= 0xC2 && lead <= 0xDF)
        return follows(at + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const uchar low = lead == 0xE0 ? 0xA0 : 0x80;
        const uchar high = lead == 0xED ? 0x9F : 0xBF;
        return follows(at + 1, low, high) && follows(at + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const uchar low = lead == 0xF0 ? 0x90 : 0x80;
        const uchar high = lead == 0xF4 ? 0x8F : 0xBF;
        return follows(at + 1, low, high) && follows(at + 2) && follows(at + 3) ? 4 : 0;
    }
    return 0;
}

Utf8Census utf8Census(const QByteArray &bytes) {
    Utf8Census census;
    int line = 1;
    for (qsizetype at = 0; at < bytes.size();) {
        const uchar lead = uchar(bytes[at]);
        if (lead < 0x80) {
            line += lead == '\n' ? 1 : 0;
            ++at;
        } else if (const int length = sequenceLength(bytes, at); length > 0) {
            ++census.characters;
            at += length;
        } else {
            ++census.badBytes;
            if (census.badLines.isEmpty() || census.badLines.last() != line)
                census.badLines.append(line);
            ++at;
        }
    }
    return census;
}

} // namespace

bool isValidUtf8(const QByteArray &bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

DecodedText decodeText(const QByteArray &bytes) {
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    DecodedText decoded{utf8.decode(body), {}};
    if (!utf8.hasError())
        return decoded;
    Utf8Census census = utf8Census(body);
    if (census.characters > 0 && census.characters >= 2 * census.badBytes) {
        decoded.replacedLines = std::move(census.badLines);
        return decoded;
    }
    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    if (gb18030.isValid())
        decoded.text = gb18030.decode(body);
    return decoded;
}

QString decodeUtf8OrGb18030(const QByteArray &bytes) {
    return decodeText(bytes).text;
}

QByteArray encodeGb18030(const QString &text) {
    QStringEncoder encoder("GB18030", QStringEncoder::Flag::Stateless);
    return encoder.encode(text);
}

QString lineNumbersText(const QList<int> &lines) {
    // A file that is not what it should be at all would otherwise fill the screen.
    constexpr qsizetype MostNamed = 10;
    QStringList named;
    for (qsizetype i = 0; i < lines.size() && i < MostNamed; ++i)
        named.append(QString::number(lines[i]));
    QString text = named.join(u"、"_s);
    if (lines.size() > MostNamed)
        text += u"行等共%1"_s.arg(lines.size());
    return text;
}

} // namespace itinerary
