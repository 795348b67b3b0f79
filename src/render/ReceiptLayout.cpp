#include "render/ReceiptLayout.h"

#include "sheet/FieldMap.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

const QString DefaultFontFamily = u"Noto Sans CJK SC"_s;
constexpr qreal MaxFontSizePt = 72;

// Lengths are kept to a hundredth of a millimetre (about a tenth of a pixel).
qreal roundedMm(qreal value) {
    return std::round(value * 100) / 100;
}

QString alignmentName(FieldAlignment alignment) {
    switch (alignment) {
    case FieldAlignment::Centre:
        return u"center"_s;
    case FieldAlignment::Right:
        return u"right"_s;
    case FieldAlignment::Left:
        break;
    }
    return u"left"_s;
}

std::optional<qreal> number(const QJsonObject &object, const QString &key) {
    const QJsonValue value = object.value(key);
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

Result<> fail(const QString &text) {
    return Result<>::failure(text);
}

Result<> readField(const QJsonValue &value, int position, FieldPlacement *out) {
    const QString where = u"fields[%1]"_s.arg(position);
    if (!value.isObject())
        return fail(where + u" is not an object"_s);
    const QJsonObject object = value.toObject();

    const std::optional<qreal> index = number(object, u"index"_s);
    if (!index || *index != std::floor(*index) || !isValidField(int(*index)))
        return fail(where + u": index must be a whole number from 0 to 58"_s);
    out->index = int(*index);

    const std::optional<qreal> x = number(object, u"x"_s);
    const std::optional<qreal> y = number(object, u"y"_s);
    const std::optional<qreal> width = number(object, u"width"_s);
    const std::optional<qreal> height = number(object, u"height"_s);
    if (!x || !y || !width || !height)
        return fail(where + u": x, y, width and height must be numbers (millimetres)"_s);
    if (*width <= 0 || *height <= 0)
        return fail(where + u": width and height must be positive"_s);
    // A box may reach past the page's edge (it is clipped there) but not lie wholly outside.
    if (*x >= ReceiptWidthMm || *y >= ReceiptHeightMm || *x + *width <= 0 || *y + *height <= 0)
        return fail(where + u": the box lies outside the page"_s);
    out->rectMm = QRectF(*x, *y, *width, *height);

    if (object.contains(u"size"_s)) {
        const std::optional<qreal> size = number(object, u"size"_s);
        if (!size || *size <= 0 || *size > MaxFontSizePt)
            return fail(where + u": size must be a number of points above 0, at most 72"_s);
        out->fontSizePt = *size;
    }
    if (object.contains(u"align"_s)) {
        const QString align = object.value(u"align"_s).toString();
        if (align == u"left")
            out->alignment = FieldAlignment::Left;
        else if (align == u"center")
            out->alignment = FieldAlignment::Centre;
        else if (align == u"right")
            out->alignment = FieldAlignment::Right;
        else
            return fail(where + u": align must be left, center or right"_s);
    }
    if (object.contains(u"shrink"_s)) {
        const QJsonValue shrink = object.value(u"shrink"_s);
        if (!shrink.isBool())
            return fail(where + u": shrink must be true or false"_s);
        out->shrinkToFit = shrink.toBool();
    }
    return succeeded();
}

ReceiptLayout loadDefaultLayout() {
    QFile file(u":/itinerary/render/default-layout.json"_s);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("default receipt layout: %s", qPrintable(file.errorString()));
    Result<ReceiptLayout> layout = ReceiptLayout::fromJson(file.readAll());
    // The resource is part of the program; a broken one is a build fault, not a user's.
    if (!layout)
        qFatal("default receipt layout: %s", qPrintable(layout.error()));
    return std::move(layout).value();
}

} // namespace

const ReceiptLayout &ReceiptLayout::defaultLayout() {
    static const ReceiptLayout layout = loadDefaultLayout();
    return layout;
}

Result<ReceiptLayout> ReceiptLayout::fromJson(const QByteArray &json) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Result<ReceiptLayout>::failure(
            u"not JSON: %1 at offset %2"_s.arg(parseError.errorString()).arg(parseError.offset));
    if (!document.isObject())
        return Result<ReceiptLayout>::failure(u"the layout must be a JSON object"_s);
    const QJsonObject root = document.object();

    ReceiptLayout layout;
    layout.m_fontFamily = DefaultFontFamily;
    if (root.contains(u"font"_s)) {
        const QString family = root.value(u"font"_s).toString().trimmed();
        if (family.isEmpty())
            return Result<ReceiptLayout>::failure(u"font must be a font family name"_s);
        layout.m_fontFamily = family;
    }
    const QJsonValue fields = root.value(u"fields"_s);
    if (!fields.isArray())
        return Result<ReceiptLayout>::failure(u"fields must be a list"_s);
    QSet<int> seen;
    const QJsonArray list = fields.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        FieldPlacement placement;
        if (const Result<> read = readField(list.at(i), int(i), &placement); !read)
            return Result<ReceiptLayout>::failure(read.error());
        if (seen.contains(placement.index))
            return Result<ReceiptLayout>::failure(
                u"fields[%1]: field %2 is placed twice"_s.arg(i).arg(placement.index));
        seen.insert(placement.index);
        layout.m_fields.append(placement);
    }
    std::sort(layout.m_fields.begin(), layout.m_fields.end(),
              [](const FieldPlacement &a, const FieldPlacement &b) { return a.index < b.index; });
    return layout;
}

Result<ReceiptLayout> ReceiptLayout::fromFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<ReceiptLayout>::failure(
            u"cannot read %1: %2"_s.arg(path, file.errorString()));
    Result<ReceiptLayout> layout = fromJson(file.readAll());
    if (!layout)
        return Result<ReceiptLayout>::failure(u"%1: %2"_s.arg(path, layout.error()));
    return layout;
}

QByteArray ReceiptLayout::toJson() const {
    QJsonArray fields;
    for (const FieldPlacement &f : m_fields) {
        fields.append(QJsonObject{
            {u"index"_s, f.index},
            {u"x"_s, roundedMm(f.rectMm.x())},
            {u"y"_s, roundedMm(f.rectMm.y())},
            {u"width"_s, roundedMm(f.rectMm.width())},
            {u"height"_s, roundedMm(f.rectMm.height())},
            {u"size"_s, f.fontSizePt},
            {u"align"_s, alignmentName(f.alignment)},
            {u"shrink"_s, f.shrinkToFit},
        });
    }
    const QJsonObject root{
        {u"about"_s,
         u"Receipt layout. Boxes in millimetres from the top-left corner of the page "
         "(205.32 x 105.33 mm, 2425 x 1244 pixels at 300 dpi); each value is drawn in its box, "
         "vertically centred, aligned left, center or right, in the font at size points, "
         "reduced to fit the box's width when shrink is true."_s},
        {u"font"_s, m_fontFamily},
        {u"fields"_s, fields},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

const FieldPlacement *ReceiptLayout::placement(int index) const {
    for (const FieldPlacement &f : m_fields) {
        if (f.index == index)
            return &f;
    }
    return nullptr;
}

} // namespace itinerary
