// Settings files come from disk, written by anyone: any bytes must read without a fault,
// every value found must be what stands between its tags, and a written file must read back.
#include "FuzzTarget.h"

#include "base/TextEncoding.h"
#include "settings/SettingsFile.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString content = itinerary::decodeUtf8OrGb18030(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QString tags[] = {u"leftr"_s, u"topb"_s, u"companycode"_s, u"companynumber"_s,
                            u"companyname"_s};
    for (const QString &tag : tags) {
        const std::optional<QString> value = itinerary::tagValue(content, tag);
        if (!value)
            continue;
        const QString opening = u'<' + tag + u'>';
        const QString closing = u"</"_s + tag + u'>';
        const qsizetype at = content.indexOf(opening) + opening.size();
        if (value->contains(closing) || value->contains(opening) ||
            QStringView(content).mid(at, value->size()) != *value ||
            QStringView(content).mid(at + value->size(), closing.size()) != closing) {
            std::abort();
        }
    }
    // Values without "<" cannot hold a tag: what is written reads back exactly.
    if (!content.contains(u'<')) {
        const QString text = itinerary::settingsText(content, content, content, content, content);
        for (const QString &tag : tags) {
            if (itinerary::tagValue(text, tag) != content)
                std::abort();
        }
    }
    return 0;
}
