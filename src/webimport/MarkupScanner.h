#pragma once

#include <QStringView>

namespace itinerary {

// Walks HTML markup the way a browser's tokenizer delimits it, without building anything, so
// that tag names can be rewritten and tags counted where they really stand: not inside
// comments, the doctype, quoted attribute values or the raw text of elements such as
// <script> and <style>.
//
// The markup is cut into consecutive tokens that cover it completely. A tag runs from its "<"
// to the first ">" outside a quoted attribute value (or to the end of the markup when there
// is none). Its name is the ASCII letter after "<" or "</" and the ASCII letters and digits
// after it; the browser's full tag name may go on past that (up to a blank, "/" or ">").
class MarkupScanner final {
public:
    enum class Kind {
        Text,     // character data, including the raw text of <script>, <style> and the like
        StartTag, // "<" name ...
        EndTag,   // "</" name ...
        Other,    // comment, doctype, "<?...>" and other markup that is no element's tag
    };

    struct Token {
        Kind kind = Kind::Text;
        qsizetype begin = 0;
        qsizetype end = 0;       // one past the token's last character
        qsizetype nameBegin = 0; // tags only: the ASCII letters and digits of the name
        qsizetype nameEnd = 0;
        qsizetype fullNameEnd = 0; // tags only: where the browser's tag name ends
        bool closed = false;       // tags and other markup: ended by its ">" (or "-->")
    };

    explicit MarkupScanner(QStringView markup);

    // The next token, or false at the end of the markup.
    bool next(Token &token);

    // True when the tag's full name is `name` (ASCII, compared exactly).
    bool nameIs(const Token &token, QStringView name) const;

private:
    void scanTag(Token &token, qsizetype nameStart);
    void scanOther(Token &token);
    void scanText(Token &token);
    // Raw text after a start tag of an element whose content is never markup.
    void enterRawTextIfNeeded(const Token &token);

    QStringView m_markup;
    qsizetype m_pos = 0;
    // Set while the scanner sits in an element's raw text: the element's name.
    QStringView m_rawTextEnd;
};

} // namespace itinerary
