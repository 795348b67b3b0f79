#include "print/ReceiptCopy.h"

#include "print/PrintMessages.h"
#include "print/ReceiptPictures.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
// Characters no file name may hold on the systems a copy travels to, and control
// characters.
QString fileNamePart(const QString &text) {
    QString part = text;
    for (QChar &c : part) {
        if (c.category() == QChar::Other_Control || u"/\\:*?\"<>|"_s.contains(c))
            c = u'_';
    }
    return part;
}
} // namespace

QString receiptCopyFileName(const Itinerary &sheet) {
    QStringList parts;
    for (int field : {int(Field::RecordCode), int(Field::Name)}) {
        const QString part = fileNamePart(trimBlanks(sheet.text(field)));
        if (!part.isEmpty())
            parts.append(part);
    }
    if (parts.isEmpty())
        parts.append(u"行程单"_s);
    return parts.join(u'-') + u".pdf"_s;
}

ReceiptCopyRun::ReceiptCopyRun(Itinerary &sheet, const ReceiptPictures &pictures, QObject *parent)
    : QObject(parent)
    , m_sheet(sheet)
    , m_pictures(pictures)
    , m_steps(sheet) {
    connect(&m_steps, &PassengerSteps::entryReady, this, &ReceiptCopyRun::loadEntry);
    connect(&m_steps, &PassengerSteps::finished, this, &ReceiptCopyRun::finished);
}

void ReceiptCopyRun::start(bool everyEntry) {
    if (m_steps.isRunning())
        return;
    m_collected.clear();
    m_steps.start(everyEntry);
}

void ReceiptCopyRun::loadEntry(int number, int count, const QString &name) {
    Q_EMIT pageStarting(number, count, name);
    m_pictures.load(m_sheet, this, [this](const QByteArray &picture) { pictureArrived(picture); });
}

void ReceiptCopyRun::pictureArrived(const QByteArray &picture) {
    if (picture.isEmpty())
        return m_steps.entryDone(false, printmessages::NoCopyPicture.toString());
    m_collected.append(picture);
    m_steps.entryDone(true);
}

QString receiptCopyFailureMessage(const StepsOutcome &outcome) {
    if (outcome.count <= 1)
        return outcome.message;
    return u"%1\n%2的行程单没有取得图片。"_s.arg(outcome.message, failedEntryText(outcome));
}

} // namespace itinerary
