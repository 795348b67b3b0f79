#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

namespace itinerary {

class ReceiptLayout;

// The pre-printed form, drawn lightly under a receipt picture where the real form is not
// there (a preview on screen, a copy in a PDF): the box of every field the layout prints
// and the form's captions. The captions stand where the sheet shows them, mapped onto the
// page as the layout maps the sheet's fields. Captions are text, so a PDF copy keeps them
// as text.
//
// `receipt` is where the receipt's 205.3 x 105.3 mm lie in the painter's coordinates.
void drawFormOutline(QPainter &painter, const QRectF &receipt, const ReceiptLayout &layout);

// The receipt picture with its white made transparent, so that it can lie over the
// outline: the picture exactly as the service drew it, nothing but its background gone.
QImage receiptInk(const QImage &picture);

} // namespace itinerary
