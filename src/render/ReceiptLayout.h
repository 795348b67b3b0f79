#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

// Where each field value goes on the receipt picture. The layout is data: a JSON document
// compiled in as the default, replaceable by a file for forms that differ.
namespace itinerary {

// The picture: 11640 x 5970 twips, the size the print job stretches it to, at 300 dpi.
inline constexpr int ReceiptPixelWidth = 2425;
inline constexpr int ReceiptPixelHeight = 1244;
inline constexpr int ReceiptDpi = 300;
inline constexpr int ReceiptDotsPerMetre = 11811; // 300 dpi
inline constexpr qreal MillimetresPerInch = 25.4;
inline constexpr qreal ReceiptWidthMm = ReceiptPixelWidth * MillimetresPerInch / ReceiptDpi;
inline constexpr qreal ReceiptHeightMm = ReceiptPixelHeight * MillimetresPerInch / ReceiptDpi;

// An agency's own layout, in the settings folder, replaces the default one.
inline constexpr auto AgencyLayoutFileName = "layout.json";

enum class FieldAlignment { Left, Centre, Right };

struct FieldPlacement {
    int index = 0;
    QRectF rectMm;           // millimetres from the page's top-left corner
    qreal fontSizePt = 10.5; // before shrinking
    FieldAlignment alignment = FieldAlignment::Left;
    bool shrinkToFit = true; // reduce the font until the value fits the box's width
    bool operator==(const FieldPlacement &) const = default;
};

class ReceiptLayout final {
public:
    // The compiled-in layout: every field of the sheet but the record code's mirror, placed
    // like the on-screen sheet, which is laid out like the printed form.
    static const ReceiptLayout &defaultLayout();

    // A layout document:
    // {"font": "Noto Sans CJK SC",
    //  "fields": [{"index": 0, "x": 45.2, "y": 5, "width": 23.9, "height": 8.5,
    //              "size": 10.5, "align": "left", "shrink": true}, ...]}
    // Lengths in millimetres, size in points, align left|center|right; "font", "size",
    // "align" and "shrink" may be left out. Fields not listed are not printed.
    // Why not, when the document is not a layout.
    static Result<ReceiptLayout> fromJson(const QByteArray &json);
    static Result<ReceiptLayout> fromFile(const QString &path);

    QByteArray toJson() const;

    QString fontFamily() const { return m_fontFamily; }
    const QList<FieldPlacement> &fields() const { return m_fields; }
    // The placement of field `index`, or nullptr when the layout does not print it.
    const FieldPlacement *placement(int index) const;

    bool operator==(const ReceiptLayout &) const = default;

private:
    QString m_fontFamily;
    QList<FieldPlacement> m_fields; // ascending index
};

} // namespace itinerary
