// Any bytes, read as a page: the normaliser, the third-table extraction, the guard and the
// parser must never crash, and the properties they promise must hold.
#include "FuzzTarget.h"

#include "base/Messages.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "webimport/MarkupNormaliser.h"
#include "webimport/ResultPageParser.h"
#include "webimport/ThirdTable.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

void require(bool condition, const char *what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_resultpage: %s\n", what);
        std::abort();
    }
}

// The fields a result page never writes or clears.
constexpr int Untouched[] = {35, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49};

void checkParse(const QString &markup, const std::optional<QString> &table, bool viaGuard) {
    Itinerary sheet;
    for (int index : Untouched)
        sheet.setText(index, u"KEEP"_s);
    sheet.setPreviousEnabled(true);
    sheet.setNextEnabled(true);
    RecordingMessages messages;
    bool parsed = true;
    bool recognised = true;
    if (viaGuard) {
        parsed = markup.contains(u"印刷序号");
        importResultPage(true, markup, table, sheet, messages);
        recognised = messages.shown().isEmpty();
    } else {
        recognised = readResultTable(table, sheet, messages);
    }
    for (int index : Untouched)
        require(sheet.text(index) == u"KEEP"_s, "a field the page never writes changed");
    require(messages.shown().size() == (recognised ? 0 : 1), "not exactly one message");
    require(sheet.previousEnabled() != parsed && sheet.nextEnabled() != parsed,
            "passenger buttons not as the guard decides");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 64 * 1024)
        return 0;
    const QString page = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    const QString markup = normaliseTagNames(page);
    require(markup.size() == page.size(), "the normaliser changed the length");
    for (qsizetype i = 0; i < page.size(); ++i) {
        if (markup[i] != page[i]) {
            const char16_t from = page[i].unicode();
            require(from >= u'a' && from <= u'z' && markup[i].unicode() == from - 32,
                    "the normaliser changed something other than a lower-case letter");
        }
    }
    require(normaliseTagNames(markup) == markup, "the normaliser is not idempotent");

    const std::optional<QString> table = thirdTableInnerMarkup(markup);
    if (table)
        require(table->size() < markup.size(), "the table is not inside the page");

    checkParse(markup, table, true);
    // The parser straight on the page's text, to reach its deeper steps more often.
    checkParse(markup, markup, false);
    return 0;
}
