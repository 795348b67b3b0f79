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

bool fail(QString *error, const QString &text) {
    if (error)
        *error = text;
    return false;
}

bool readField(const QJsonValue &value, int position, FieldPlacement *out, QString *error) {
    const QString where = u"fields[%1]"_s.arg(position);
    if (!value.isObject())
        return fail(error, where + u" is not an object"_s);
    const QJsonObject object = value.toObject();

    const std::optional<qreal> index = number(object, u"index"_s);
    if (!index || *index != std::floor(*index) || !isValidField(int(*index)))
        return fail(error, where + u": index must be a whole number from 0 to 58"_s);
    out->index = int(*index);

    const std::optional<qreal> x = number(object, u"x"_s);
    const std::optional<qreal> y = number(object, u"y"_s);
    const std::optional<qreal> width = number(object, u"width"_s);
    const std::optional<qreal> height = number(object, u"height"_s);
    if (!x || !y || !width || !height)
        return fail(error, where + u": x, y, width and height must be numbers (millimetres)"_s);
    if (*width <= 0 || *height <= 0)
        return fail(error, where + u": width and height must be positive"_s);
    // A box may reach past the page's edge (it is clipped there) but not lie wholly outside.
    if (*x >= ReceiptWidthMm || *y >= ReceiptHeightMm || *x + *width <= 0 || *y + *height <= 0)
        return fail(error, where + u": the box lies outside the page"_s);
    out->rectMm = QRectF(*x, *y, *width, *height);

    if (object.contains(u"size"_s)) {
        const std::optional<qreal> size = number(object, u"size"_s);
        if (!size || *size <= 0 || *size > MaxFontSizePt)
            return fail(error, where + u": size must be a number of points above 0, at most 72"_s);
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
            return fail(error, where + u": align must be left, center or right"_s);
    }
    if (object.contains(u"shrink"_s)) {
        const QJsonValue shrink = object.value(u"shrink"_s);
        if (!shrink.isBool())
            return fail(error, where + u": shrink must be true or false"_s);
        out->shrinkToFit = shrink.toBool();
    }
    return true;
}

ReceiptLayout loadDefaultLayout() {
    QFile file(u":/itinerary/render/default-layout.json"_s);
    QString error;
    std::optional<ReceiptLayout> layout;
    if (file.open(QIODevice::ReadOnly))
        layout = ReceiptLayout::fromJson(file.readAll(), &error);
    else
        error = file.errorString();
    // The resource is part of the program; a broken one is a build fault, not a user's.
    if (!layout)
        qFatal("default receipt layout: %s", qPrintable(error));
    return *layout;
}

} // namespace

const ReceiptLayout &ReceiptLayout::defaultLayout() {
    static const ReceiptLayout layout = loadDefaultLayout();
    return layout;
}

std::optional<ReceiptLayout> ReceiptLayout::fromJson(const QByteArray &json, QString *error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        fail(error,
             u"not JSON: %1 at offset %2"_s.arg(parseError.errorString()).arg(parseError.offset));
        return std::nullopt;
    }
    if (!document.isObject()) {
        fail(error, u"the layout must be a JSON object"_s);
        return std::nullopt;
    }
    const QJsonObject root = document.object();

    ReceiptLayout layout;
    layout.m_fontFamily = DefaultFontFamily;
    if (root.contains(u"font"_s)) {
        const QString family = root.value(u"font"_s).toString().trimmed();
        if (family.isEmpty()) {
            fail(error, u"font must be a font family name"_s);
            return std::nullopt;
        }
        layout.m_fontFamily = family;
    }
    const QJsonValue fields = root.value(u"fields"_s);
    if (!fields.isArray()) {
        fail(error, u"fields must be a list"_s);
        return std::nullopt;
    }
    QSet<int> seen;
    const QJsonArray list = fields.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        FieldPlacement placement;
        if (!readField(list.at(i), int(i), &placement, error))
            return std::nullopt;
        if (seen.contains(placement.index)) {
            fail(error, u"fields[%1]: field %2 is placed twice"_s.arg(i).arg(placement.index));
            return std::nullopt;
        }
        seen.insert(placement.index);
        layout.m_fields.append(placement);
    }
    std::sort(layout.m_fields.begin(), layout.m_fields.end(),
              [](const FieldPlacement &a, const FieldPlacement &b) { return a.index < b.index; });
    return layout;
}

std::optional<ReceiptLayout> ReceiptLayout::fromFile(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, u"cannot read %1: %2"_s.arg(path, file.errorString()));
        return std::nullopt;
    }
    QString why;
    std::optional<ReceiptLayout> layout = fromJson(file.readAll(), &why);
    if (!layout)
        fail(error, u"%1: %2"_s.arg(path, why));
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
