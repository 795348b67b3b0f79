#pragma once

#include <QStringList>

#include <vector>

namespace itinerary::load {

struct LoadResult {
    qint64 answered = 0; // answers received whole and checked
    qint64 failed = 0;
    QStringList failures; // the first few reasons, for the report
    std::vector<double> latenciesMs;
    double seconds = 0;

    double percentileMs(double fraction) const;
    double perSecond() const { return seconds > 0 ? double(answered) / seconds : 0; }
};

} // namespace itinerary::load
