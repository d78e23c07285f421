#include "view/view_rows.h"

#include <algorithm>

namespace {

std::vector<bool> recentResultsOf(const Target& target) {
    const std::size_t shown = std::min(target.history.size(), maxBarsPerRow);
    std::vector<bool> results;
    results.reserve(shown);
    for (auto it = target.history.end() - static_cast<std::ptrdiff_t>(shown);
         it != target.history.end(); ++it) {
        results.push_back(*it != 0);
    }
    return results;
}

}  // namespace

std::vector<ViewRow> buildViewRows(const std::vector<Target>& targets) {
    std::vector<ViewRow> rows;
    rows.reserve(targets.size());
    for (const Target& target : targets) {
        if (!isInUse(target)) continue;
        rows.push_back(ViewRow{target.host, protocolText(target), recentResultsOf(target)});
    }
    return rows;
}

bool lampShowsAnswer(const ViewRow& row) {
    return !row.recentResults.empty() && row.recentResults.back();
}

int firstBarLeft(std::size_t barCount) {
    const int bars = static_cast<int>(std::min(barCount, maxBarsPerRow));
    return std::max(resultsFrameRight - barWidth * bars, resultsFrameLeft);
}
