#include "textimport/ScreenRows.h"

#include <QList>

#include <algorithm>
#include <iterator>

namespace itinerary {

namespace {

struct CodeRange {
    char32_t first;
    char32_t last;
};

// East Asian wide (W) and full-width (F) characters: Hangul Jamo, the CJK radicals,
// punctuation, kana, bopomofo and ideographs with their extensions, Yi, Hangul syllables,
// compatibility ideographs and forms, full-width ASCII and signs, and the pictographs that
// terminals draw two columns wide.
constexpr CodeRange WideRanges[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
    {0x3041, 0x3247},   {0x3250, 0x4DBF},   {0x4E00, 0xA4CF},   {0xA960, 0xA97F},
    {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x16FF0, 0x16FF1},
    {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
    {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F265}, {0x1F300, 0x1F64F},
    {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF}, {0x1FA70, 0x1FAFF},
    {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

bool isLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n';
}

// A row may be cut after a blank or after the terminal's page marks.
bool endsARow(char16_t c) {
    return c == u' ' || c == u'+' || c == u'-';
}

} // namespace

int screenColumns(char32_t c) {
    if (c < WideRanges[0].first)
        return 1;
    const auto *range =
        std::upper_bound(std::begin(WideRanges), std::end(WideRanges), c,
                         [](char32_t value, const CodeRange &r) { return value < r.first; });
    return range != std::begin(WideRanges) && c <= std::prev(range)->last ? 2 : 1;
}

QString splitJoinedScreenRows(const QString &text) {
    const char16_t *p = QStringView(text).utf16();
    const qsizetype size = text.size();
    // Where a line end goes in: after the character at each of these positions.
    QList<qsizetype> cuts;
    qsizetype column = 0;
    qsizetype boundary = ScreenWidth; // the next 80th column of the line
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = p[i];
        if (isLineBreak(c)) {
            column = 0;
            boundary = ScreenWidth;
            continue;
        }
        if (c < WideRanges[0].first) {
            ++column;
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(p[i + 1])) {
            column += screenColumns(QChar::surrogateToUcs4(c, p[i + 1]));
            ++i;
        } else {
            column += screenColumns(c);
        }
        if (column < boundary)
            continue;
        if (column == boundary && endsARow(c) && i + 1 < size && !isLineBreak(p[i + 1]))
            cuts.append(i);
        boundary += ScreenWidth;
    }
    if (cuts.isEmpty())
        return text;

    QString out;
    out.reserve(text.size() + 2 * cuts.size());
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        out.append(QStringView(text).mid(from, cut + 1 - from));
        out.append(u"\r\n");
        from = cut + 1;
    }
    out.append(QStringView(text).mid(from));
    return out;
}

} // namespace itinerary
