#pragma once

#include <QImage>
#include <QRect>

// Dark pixels of a receipt picture, for checking where text landed.
namespace itinerary::test {

class Ink final {
public:
    explicit Ink(const QImage &image)
        : m_image(image.convertToFormat(QImage::Format_Grayscale8)) {}

    qint64 inside(const QRect &rect) const {
        const QRect r = rect.intersected(m_image.rect());
        qint64 count = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const uchar *line = m_image.constScanLine(y);
            for (int x = r.left(); x <= r.right(); ++x)
                count += line[x] < 128 ? 1 : 0;
        }
        return count;
    }
    qint64 total() const { return inside(m_image.rect()); }

    // The smallest rectangle holding every dark pixel of `rect`; null when there is none.
    QRect bounds(const QRect &rect) const {
        const QRect r = rect.intersected(m_image.rect());
        QRect box;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const uchar *line = m_image.constScanLine(y);
            for (int x = r.left(); x <= r.right(); ++x) {
                if (line[x] < 128)
                    box = box.united(QRect(x, y, 1, 1));
            }
        }
        return box;
    }

private:
    QImage m_image;
};

} // namespace itinerary::test
