#include "LoadResult.h"

#include <algorithm>
#include <cmath>

namespace itinerary::load {

double LoadResult::percentileMs(double fraction) const {
    if (latenciesMs.empty())
        return 0;
    std::vector<double> sorted = latenciesMs;
    std::sort(sorted.begin(), sorted.end());
    const auto at = size_t(std::ceil(fraction * double(sorted.size()))) - 1;
    return sorted[std::min(at, sorted.size() - 1)];
}

} // namespace itinerary::load
