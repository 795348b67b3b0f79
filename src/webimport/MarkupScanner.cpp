#include "webimport/MarkupScanner.h"

#include <array>

namespace itinerary {

namespace {

bool isAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool isAsciiLetterOrDigit(QChar c) {
    const char16_t u = c.unicode();
    return isAsciiLetter(c) || (u >= u'0' && u <= u'9');
}

// The blanks that separate a tag's name and attributes: tab, line feed, form feed, carriage
// return and space.
bool isTagBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == u'\t' || u == u'\n' || u == u'\f' || u == u'\r' || u == u' ';
}

char16_t asciiLower(char16_t u) {
    return (u >= u'A' && u <= u'Z') ? char16_t(u + (u'a' - u'A')) : u;
}

// ASCII letters compared without case; every other character exactly (so that no
// non-ASCII character folds into a name such as "script").
bool equalsAsciiIgnoringCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i].unicode()) != asciiLower(b[i].unicode()))
            return false;
    }
    return true;
}

// Elements whose content a browser never reads as markup: it ends only at the element's own
// end tag.
constexpr std::array<QStringView, 9> RawTextElements{
    u"script", u"style",   u"textarea", u"title",    u"xmp",
    u"iframe", u"noembed", u"noframes", u"noscript",
};

} // namespace

MarkupScanner::MarkupScanner(QStringView markup)
    : m_markup(markup) {}

bool MarkupScanner::nameIs(const Token &token, QStringView name) const {
    return m_markup.sliced(token.nameBegin, token.fullNameEnd - token.nameBegin) == name;
}

bool MarkupScanner::next(Token &token) {
    const qsizetype size = m_markup.size();
    if (m_pos >= size)
        return false;
    token = Token{};
    token.begin = m_pos;
    if (!m_rawTextEnd.isEmpty()) {
        scanText(token);
        if (token.end > token.begin) {
            m_pos = token.end;
            return true;
        }
    }
    const QChar c = m_markup[m_pos];
    const QChar c1 = m_pos + 1 < size ? m_markup[m_pos + 1] : QChar();
    const QChar c2 = m_pos + 2 < size ? m_markup[m_pos + 2] : QChar();
    if (c != u'<') {
        scanText(token);
    } else if (isAsciiLetter(c1)) {
        token.kind = Kind::StartTag;
        scanTag(token, m_pos + 1);
    } else if (c1 == u'/' && isAsciiLetter(c2)) {
        token.kind = Kind::EndTag;
        scanTag(token, m_pos + 2);
    } else if (c1 == u'!' || c1 == u'?' || (c1 == u'/' && m_pos + 2 < size)) {
        token.kind = Kind::Other;
        scanOther(token);
    } else {
        // A "<" that starts no markup is text.
        token.end = m_pos + 1;
        token.kind = Kind::Text;
        const qsizetype nextLt = m_markup.indexOf(u'<', token.end);
        token.end = nextLt < 0 ? size : nextLt;
    }
    m_pos = token.end;
    enterRawTextIfNeeded(token);
    return true;
}

void MarkupScanner::scanText(Token &token) {
    token.kind = Kind::Text;
    const qsizetype size = m_markup.size();
    if (m_rawTextEnd.isEmpty()) {
        const qsizetype nextLt = m_markup.indexOf(u'<', m_pos);
        token.end = nextLt < 0 ? size : nextLt;
        return;
    }
    // Raw text runs up to "</" followed by the element's name and a blank, "/" or ">".
    qsizetype from = m_pos;
    while (true) {
        const qsizetype at = m_markup.indexOf(u"</", from);
        if (at < 0) {
            token.end = size;
            break;
        }
        const qsizetype nameStart = at + 2;
        const qsizetype after = nameStart + m_rawTextEnd.size();
        if (after < size &&
            equalsAsciiIgnoringCase(m_markup.sliced(nameStart, m_rawTextEnd.size()),
                                    m_rawTextEnd) &&
            (isTagBlank(m_markup[after]) || m_markup[after] == u'/' || m_markup[after] == u'>')) {
            token.end = at;
            break;
        }
        from = at + 1;
    }
    m_rawTextEnd = QStringView();
}

void MarkupScanner::scanTag(Token &token, qsizetype nameStart) {
    const qsizetype size = m_markup.size();
    qsizetype i = nameStart;
    token.nameBegin = nameStart;
    while (i < size && isAsciiLetterOrDigit(m_markup[i]))
        ++i;
    token.nameEnd = i;
    while (i < size && !isTagBlank(m_markup[i]) && m_markup[i] != u'/' && m_markup[i] != u'>')
        ++i;
    token.fullNameEnd = i;

    // The attributes, as a browser reads them: a quote opens a value only right after "=";
    // inside a quoted value ">" does not end the tag.
    enum class State {
        BeforeName,
        Name,
        AfterName,
        BeforeValue,
        DoubleQuoted,
        SingleQuoted,
        Unquoted
    };
    State state = State::BeforeName;
    for (; i < size; ++i) {
        const QChar c = m_markup[i];
        switch (state) {
        case State::BeforeName:
        case State::Name:
        case State::AfterName:
            if (c == u'>') {
                token.end = i + 1;
                token.closed = true;
                return;
            }
            if (isTagBlank(c))
                state = state == State::Name ? State::AfterName : state;
            else if (c == u'/')
                state = State::BeforeName;
            else if (c == u'=' && state != State::BeforeName)
                state = State::BeforeValue;
            else
                state = State::Name;
            break;
        case State::BeforeValue:
            if (c == u'>') {
                token.end = i + 1;
                token.closed = true;
                return;
            }
            if (c == u'"')
                state = State::DoubleQuoted;
            else if (c == u'\'')
                state = State::SingleQuoted;
            else if (!isTagBlank(c))
                state = State::Unquoted;
            break;
        case State::DoubleQuoted:
            if (c == u'"')
                state = State::BeforeName;
            break;
        case State::SingleQuoted:
            if (c == u'\'')
                state = State::BeforeName;
            break;
        case State::Unquoted:
            if (c == u'>') {
                token.end = i + 1;
                token.closed = true;
                return;
            }
            if (isTagBlank(c))
                state = State::BeforeName;
            break;
        }
    }
    token.end = size;
}

void MarkupScanner::scanOther(Token &token) {
    const qsizetype size = m_markup.size();
    if (m_markup.sliced(m_pos).startsWith(u"<!--")) {
        // A comment ends at "-->" or "--!>"; "<!-->" and "<!--->" are empty comments.
        const qsizetype body = m_pos + 4;
        const QStringView rest = m_markup.sliced(body);
        if (rest.startsWith(u'>')) {
            token.end = body + 1;
            token.closed = true;
            return;
        }
        if (rest.startsWith(u"->")) {
            token.end = body + 2;
            token.closed = true;
            return;
        }
        qsizetype from = body;
        while (true) {
            const qsizetype dashes = m_markup.indexOf(u"--", from);
            if (dashes < 0)
                break;
            const QStringView after = m_markup.sliced(dashes + 2);
            if (after.startsWith(u'>')) {
                token.end = dashes + 3;
                token.closed = true;
                return;
            }
            if (after.startsWith(u"!>")) {
                token.end = dashes + 4;
                token.closed = true;
                return;
            }
            from = dashes + 1;
        }
        token.end = size;
        return;
    }
    // The doctype, "<?...>" and "</" without a name end at the first ">".
    const qsizetype gt = m_markup.indexOf(u'>', m_pos + 2);
    token.closed = gt >= 0;
    token.end = gt < 0 ? size : gt + 1;
}

void MarkupScanner::enterRawTextIfNeeded(const Token &token) {
    if (token.kind != Kind::StartTag || !token.closed)
        return;
    const QStringView name = m_markup.sliced(token.nameBegin, token.fullNameEnd - token.nameBegin);
    for (QStringView element : RawTextElements) {
        if (equalsAsciiIgnoringCase(name, element)) {
            m_rawTextEnd = element;
            return;
        }
    }
}

} // namespace itinerary
