#include "model/outage.h"

#include <algorithm>
#include <utility>

#include "model/clock.h"

namespace {

constexpr int failuresForDown = 2;
constexpr std::size_t changesForUnstable = 4;
constexpr std::int64_t changeWindow = 10 * 60 * nanosPerSecond;
constexpr std::int64_t quietAgainAfter = 5 * 60 * nanosPerSecond;

// Counts a change at `now` among those of the last 10 minutes and says what the user is told:
// the change itself, or at the 4th one that the target is unstable, or nothing while it is.
void countChange(OutageTrack& track, std::int64_t now, OutageChange& change) {
    while (!track.changes.empty() && now - track.changes.front() >= changeWindow) {
        track.changes.pop_front();
    }
    track.changes.push_back(now);
    change.changes = static_cast<int>(track.changes.size());
    if (track.unstable) return;
    if (track.changes.size() >= changesForUnstable) {
        track.unstable = true;
        change.becameUnstable = true;
        change.notice = OutageEvent::unstable;
        return;
    }
    change.notice = change.wentDown ? OutageEvent::down : OutageEvent::up;
}

}  // namespace

OutageChange recordOutage(OutageTrack& track, bool answered, std::int64_t now) {
    OutageChange change;
    // Checked before this result changes anything: five minutes in one state end the
    // silence, so a change that ends them is told again.
    if (track.unstable && now - track.since >= quietAgainAfter) track.unstable = false;
    track.failedInRow = answered ? 0 : std::min(track.failedInRow + 1, failuresForDown);
    OutageState next = track.state;
    if (answered) next = OutageState::up;
    if (track.failedInRow == failuresForDown) next = OutageState::down;
    if (next == track.state) return change;
    const OutageState before = std::exchange(track.state, next);
    const std::int64_t began = std::exchange(track.since, now);
    if (before == OutageState::unknown && next == OutageState::up) return change;  // no news
    change.wentDown = next == OutageState::down;
    if (change.wentDown) ++track.outages;
    change.cameUp = next == OutageState::up;
    if (change.cameUp) change.lasted = now - began;
    countChange(track, now, change);
    return change;
}

std::wstring durationText(std::int64_t nanos) {
    const std::int64_t seconds = std::max<std::int64_t>(nanos, 0) / nanosPerSecond;
    const auto part = [](std::int64_t count, const wchar_t* unit) {
        return count == 0 ? std::wstring() : L" " + std::to_wstring(count) + unit;
    };
    if (seconds < 60) return std::to_wstring(seconds) + L" s";
    if (seconds < 3600) return std::to_wstring(seconds / 60) + L" min" + part(seconds % 60, L" s");
    return std::to_wstring(seconds / 3600) + L" h" + part(seconds / 60 % 60, L" min");
}
