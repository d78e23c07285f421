#include "app/health.h"

#include <algorithm>

namespace {

bool isDown(const Target& target) { return isInUse(target) && !newestResultAnswered(target); }

}  // namespace

bool allTargetsInUseAnswered(const std::vector<Target>& entries) {
    return std::none_of(entries.begin(), entries.end(), isDown);
}

std::wstring spokenHealth(const std::vector<Target>& entries) {
    const auto inUse = std::count_if(entries.begin(), entries.end(), isInUse);
    const auto down = std::count_if(entries.begin(), entries.end(), isDown);
    if (inUse == 0) return L"no targets";
    if (down == 0) return L"all targets answering";
    return std::to_wstring(down) + L" of " + std::to_wstring(inUse) + L" targets down";
}
