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
    for (std::size_t slot = 0; slot < targets.size(); ++slot) {
        const Target& target = targets[slot];
        if (!isInUse(target)) continue;
        rows.push_back(ViewRow{target.host, protocolText(target), recentResultsOf(target),
                               newestResultAnswered(target), slot});
    }
    return rows;
}

int firstBarLeft(std::size_t barCount) {
    const int bars = static_cast<int>(std::min(barCount, maxBarsPerRow));
    return std::max(resultsFrameRight - barWidth * bars, resultsFrameLeft);
}

std::wstring spokenName(const ViewRow& row) { return row.host + L" " + row.protocolText; }

std::wstring spokenValue(const ViewRow& row) {
    if (row.recentResults.empty()) return L"not probed yet";
    return row.answered ? L"up" : L"down";
}

std::wstring spokenDescription(const ViewRow& row) {
    const auto& results = row.recentResults;
    const auto answered = std::count(results.begin(), results.end(), true);
    return std::to_wstring(answered) + L" of " + std::to_wstring(results.size()) + L" answered";
}
