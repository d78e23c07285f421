#include "app/health.h"

#include <algorithm>

bool allTargetsInUseAnswered(const std::vector<Target>& entries) {
    return std::none_of(entries.begin(), entries.end(), [](const Target& target) {
        return isInUse(target) && (target.history.empty() || target.history.back() == 0);
    });
}
