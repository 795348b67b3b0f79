#pragma once

// A receipt with every field filled as a real booking would fill it, for the renderer's
// tests, its benchmark and the service load client.

#include "sheet/FieldMap.h"

#include <QStringList>

namespace itinerary::test {

inline QStringList sampleReceiptValues() {
    using namespace Qt::StringLiterals;
    QStringList values(FieldCount);
    values[Field::Name] = u"张三丰"_s;
    values[Field::IdNumber] = u"110101199003078515"_s;
    values[Field::Endorsement] = u"不得签转"_s;
    values[Field::RecordCode] = values[Field::RecordCodeMirror] = u"HX4K2M"_s;
    for (int row = 0; row < SegmentRowCount; ++row) {
        values[segmentField(row, SegmentColumn::City)] = u"北京首都T3"_s;
        values[segmentField(row, SegmentColumn::Carrier)] = u"国航"_s;
        values[segmentField(row, SegmentColumn::Flight)] = u"CA1501"_s;
        values[segmentField(row, SegmentColumn::BookingClass)] = u"Y"_s;
        values[segmentField(row, SegmentColumn::Date)] = u"2026-12-15"_s;
        values[segmentField(row, SegmentColumn::Time)] = u"08:30"_s;
        values[segmentField(row, SegmentColumn::FareBasis)] = u"Y"_s;
        values[segmentField(row, SegmentColumn::NotValidBefore)] = u"15DEC"_s;
        values[segmentField(row, SegmentColumn::NotValidAfter)] = u"15DEC"_s;
        values[segmentField(row, SegmentColumn::Baggage)] = u"20K"_s;
    }
    values[Field::FinalCity] = u"上海虹桥T2"_s;
    values[Field::Fare] = u"CNY 1240.00"_s;
    values[Field::DevelopmentFund] = u"CN 50.00"_s;
    values[Field::FuelSurcharge] = u"YQ 0.00"_s;
    values[Field::OtherTaxes] = u"XT 0.00"_s;
    values[Field::Total] = u"CNY 1290.00"_s;
    values[Field::TicketNumber] = u"999-2345678901"_s;
    values[Field::CheckCode] = u"0042"_s;
    values[Field::Notice] = u"退改签收费"_s;
    values[Field::Insurance] = u"XXX"_s;
    values[Field::AgentCode] = u"08312345"_s;
    values[Field::IssuingUnit] = u"某某航空服务有限公司"_s;
    values[Field::IssueDate] = u"2026-12-07"_s;
    values[Field::CompanyNumber] = u"0123"_s;
    return values;
}

} // namespace itinerary::test
