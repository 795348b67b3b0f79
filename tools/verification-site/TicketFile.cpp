#include "TicketFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>

using namespace Qt::StringLiterals;

namespace itinerary::site {

namespace {

// Reads the string members of one JSON object into texts, reporting wrong types, unknown
// keys and control characters (which the browser engine would rewrite, so the served page
// and the page the engine shows would differ).
class ObjectReader final {
public:
    ObjectReader(const QJsonObject &object, QString where)
        : m_object(object)
        , m_where(std::move(where)) {}

    QString text(const QString &key) {
        m_known.insert(key);
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined() || value.isNull())
            return QString();
        if (!value.isString()) {
            fail(u"\"%1\" must be a string"_s.arg(key));
            return QString();
        }
        const QString result = value.toString();
        for (const QChar c : result) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
                fail(u"\"%1\" holds a control character"_s.arg(key));
                break;
            }
        }
        return result;
    }

    QJsonValue member(const QString &key) {
        m_known.insert(key);
        return m_object.value(key);
    }

    // Call after every member was read.
    void rejectUnknownKeys() {
        for (auto it = m_object.constBegin(); it != m_object.constEnd(); ++it) {
            if (!m_known.contains(it.key()))
                fail(u"unknown key \"%1\""_s.arg(it.key()));
        }
    }

    void fail(const QString &message) {
        if (m_error.isEmpty())
            m_error = m_where + u": "_s + message;
    }
    const QString &error() const { return m_error; }

private:
    QJsonObject m_object;
    QString m_where;
    QSet<QString> m_known;
    QString m_error;
};

bool isThirteenDigits(const QString &text) {
    if (text.size() != 13)
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

SiteSegment readSegment(ObjectReader &reader) {
    SiteSegment s;
    s.carrier = reader.text(u"carrier"_s);
    s.flight = reader.text(u"flight"_s);
    s.bookingClass = reader.text(u"class"_s);
    s.date = reader.text(u"date"_s);
    s.time = reader.text(u"time"_s);
    s.fareBasis = reader.text(u"fareBasis"_s);
    s.notValidBefore = reader.text(u"notValidBefore"_s);
    s.notValidAfter = reader.text(u"notValidAfter"_s);
    s.baggage = reader.text(u"baggage"_s);
    reader.rejectUnknownKeys();
    return s;
}

// Reads ticket `number` (1-based, for messages); returns the error text or an empty one.
QString readTicket(const QJsonValue &value, int number, SiteTicket &ticket) {
    const QString where = u"ticket %1"_s.arg(number);
    if (!value.isObject())
        return where + u": must be an object"_s;
    ObjectReader reader(value.toObject(), where);

    ticket.ticketNumber = reader.text(u"ticketNumber"_s).remove(u'-');
    ticket.passengerName = reader.text(u"passengerName"_s).trimmed();
    ticket.idNumber = reader.text(u"idNumber"_s);
    ticket.endorsement = reader.text(u"endorsement"_s);
    ticket.printSerial = reader.text(u"printSerial"_s);
    ticket.checkCode = reader.text(u"checkCode"_s);
    ticket.notice = reader.text(u"notice"_s);
    ticket.insurance = reader.text(u"insurance"_s);
    if (!reader.error().isEmpty())
        return reader.error();
    if (!isThirteenDigits(ticket.ticketNumber))
        return where + u": \"ticketNumber\" must be 13 digits"_s;
    if (ticket.passengerName.isEmpty())
        return where + u": \"passengerName\" must not be empty"_s;

    const QJsonValue segments = reader.member(u"segments"_s);
    const QJsonArray segmentArray = segments.toArray();
    if (!segments.isArray() || segmentArray.isEmpty() ||
        segmentArray.size() > MaxSegmentsPerTicket) {
        return where +
               u": \"segments\" must be an array of 1 to %1 segments"_s.arg(MaxSegmentsPerTicket);
    }
    for (qsizetype i = 0; i < segmentArray.size(); ++i) {
        const QString segmentWhere = where + u" segment %1"_s.arg(i + 1);
        if (!segmentArray.at(i).isObject())
            return segmentWhere + u": must be an object"_s;
        ObjectReader segmentReader(segmentArray.at(i).toObject(), segmentWhere);
        ticket.segments.append(readSegment(segmentReader));
        if (!segmentReader.error().isEmpty())
            return segmentReader.error();
    }

    const QJsonValue cities = reader.member(u"cities"_s);
    const QJsonArray cityArray = cities.toArray();
    if (!cities.isArray() || cityArray.size() != segmentArray.size() + 1)
        return where + u": \"cities\" must list one city more than there are segments"_s;
    for (qsizetype i = 0; i < cityArray.size(); ++i) {
        const QString cityWhere = where + u" city %1"_s.arg(i + 1);
        if (!cityArray.at(i).isObject())
            return cityWhere + u": must be an object"_s;
        ObjectReader cityReader(cityArray.at(i).toObject(), cityWhere);
        SiteCity city{cityReader.text(u"name"_s), cityReader.text(u"airport"_s)};
        cityReader.rejectUnknownKeys();
        if (!cityReader.error().isEmpty())
            return cityReader.error();
        if (city.name.isEmpty())
            return cityWhere + u": \"name\" must not be empty"_s;
        ticket.cities.append(city);
    }

    const QJsonValue amounts = reader.member(u"amounts"_s);
    if (!amounts.isUndefined()) {
        if (!amounts.isObject())
            return where + u": \"amounts\" must be an object"_s;
        ObjectReader amountReader(amounts.toObject(), where + u" amounts"_s);
        ticket.fare = amountReader.text(u"fare"_s);
        ticket.developmentFund = amountReader.text(u"developmentFund"_s);
        ticket.fuelSurcharge = amountReader.text(u"fuelSurcharge"_s);
        ticket.otherTaxes = amountReader.text(u"otherTaxes"_s);
        ticket.total = amountReader.text(u"total"_s);
        amountReader.rejectUnknownKeys();
        if (!amountReader.error().isEmpty())
            return amountReader.error();
    }

    reader.rejectUnknownKeys();
    return reader.error();
}

} // namespace

Result<QList<SiteTicket>> parseTickets(const QByteArray &json) {
    using Tickets = Result<QList<SiteTicket>>;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Tickets::failure(u"not valid JSON at byte %1: %2"_s.arg(parseError.offset)
                                    .arg(parseError.errorString()));
    const QJsonValue tickets = document.object().value(u"tickets"_s);
    if (!document.isObject() || !tickets.isArray() || tickets.toArray().isEmpty())
        return Tickets::failure(u"expected an object with a non-empty \"tickets\" array"_s);
    if (document.object().size() != 1)
        return Tickets::failure(u"expected \"tickets\" as the only key"_s);
    QSet<QString> numbers;
    QList<SiteTicket> read;
    const QJsonArray array = tickets.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        SiteTicket ticket;
        if (const QString error = readTicket(array.at(i), int(i + 1), ticket); !error.isEmpty())
            return Tickets::failure(error);
        if (numbers.contains(ticket.ticketNumber))
            return Tickets::failure(u"ticket %1: ticket number %2 is listed twice"_s.arg(i + 1).arg(
                ticket.ticketNumber));
        numbers.insert(ticket.ticketNumber);
        read.append(ticket);
    }
    return read;
}

Result<QList<SiteTicket>> loadTicketFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<QList<SiteTicket>>::failure(path + u": cannot be read: "_s +
                                                  file.errorString());
    Result<QList<SiteTicket>> tickets = parseTickets(file.readAll());
    if (!tickets)
        return Result<QList<SiteTicket>>::failure(path + u": "_s + tickets.error());
    return tickets;
}

QList<SiteTicket> builtInTickets() {
    // The sample file is compiled in; a fault in it is a build fault, which the tests catch.
    QFile file(u":/verification-site/tickets.json"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseTickets(file.readAll()).value_or({});
}

} // namespace itinerary::site
