#include "CaptchaImage.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace itinerary::site {

namespace {
constexpr QStringView CodeAlphabet = u"ABCDEFGHJKLMNPQRSTUVWXYZ23456789";

quint32 seedFor(const QString &code) {
    // A fixed fold of the characters (qHash is seeded per process, which would make the
    // picture of a code differ between runs).
    quint32 seed = 2166136261u;
    for (const QChar c : code)
        seed = (seed ^ c.unicode()) * 16777619u;
    return seed;
}
} // namespace

bool isCaptchaCode(const QString &code) {
    if (code.size() != CaptchaLength)
        return false;
    for (const QChar c : code) {
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

QString randomCaptchaCode() {
    QString code;
    for (int i = 0; i < CaptchaLength; ++i)
        code += CodeAlphabet.at(QRandomGenerator::system()->bounded(int(CodeAlphabet.size())));
    return code;
}

QByteArray captchaPng(const QString &code) {
    QRandomGenerator noise(seedFor(code));
    QImage image(CaptchaSize, QImage::Format_RGB32);
    image.fill(QColor(0xf2, 0xf0, 0xe6));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 40; ++i) {
            painter.setPen(QColor::fromHsv(noise.bounded(360), 60, 200));
            painter.drawPoint(noise.bounded(CaptchaSize.width()),
                              noise.bounded(CaptchaSize.height()));
        }
        QFont font;
        font.setFamilies({u"DejaVu Sans"_s, u"Noto Sans"_s});
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(18);
        font.setBold(true);
        painter.setFont(font);
        const int cell = CaptchaSize.width() / CaptchaLength;
        for (int i = 0; i < code.size(); ++i) {
            painter.save();
            painter.translate(i * cell + cell / 2, CaptchaSize.height() / 2);
            painter.rotate(noise.bounded(-15, 16));
            painter.setPen(QColor::fromHsv(noise.bounded(360), 200, 110));
            painter.drawText(
                QRect(-cell / 2, -CaptchaSize.height() / 2, cell, CaptchaSize.height()),
                Qt::AlignCenter, code.at(i));
            painter.restore();
        }
        for (int i = 0; i < 2; ++i) {
            painter.setPen(QPen(QColor::fromHsv(noise.bounded(360), 120, 150), 1));
            painter.drawLine(0, noise.bounded(CaptchaSize.height()), CaptchaSize.width(),
                             noise.bounded(CaptchaSize.height()));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace itinerary::site
