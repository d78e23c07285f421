#include "model/target_table.h"

#include <algorithm>

#include "model/clock.h"

TargetTable targetTable;

namespace {

constexpr std::int64_t nanosPerMicro = 1000;

// The entry's settings, due time and outage state: what the worker's sweep needs, and what a
// snapshot starts from. The results are the bulk of an entry and are left out.
Target withoutResults(const Target& entry) {
    Target copy;
    copy.enabled = entry.enabled;
    copy.type = entry.type;
    copy.host = entry.host;
    copy.port = entry.port;
    copy.interval = entry.interval;
    copy.nextDue = entry.nextDue;
    copy.outage = entry.outage;
    return copy;
}

template <typename Value>
std::deque<Value> newest(const std::deque<Value>& all, std::size_t count) {
    const auto kept = static_cast<std::ptrdiff_t>(std::min(all.size(), count));
    return std::deque<Value>(all.end() - kept, all.end());
}

template <typename Value>
void pushKeepingNewest(std::deque<Value>& all, Value value) {
    all.push_back(value);
    while (all.size() > historyLimit) all.pop_front();
}

// Whole microseconds; a time too long for the field (over an hour) keeps the longest one.
std::uint32_t roundTripMicros(std::int64_t nanos) {
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(nanos / nanosPerMicro, 0, noRoundTrip - 1));
}

}  // namespace

void TargetTable::assign(std::vector<Target> list) {
    std::vector<Target> old;  // freed after the lock is released
    std::scoped_lock lock(mutex_);
    old.swap(entries_);
    entries_.swap(list);
}

void TargetTable::replaceAll(std::vector<Target> list, std::int64_t now) {
    for (Target& entry : list) {
        entry.history.clear();
        entry.roundTrips.clear();
        entry.outage = {};
        entry.nextDue = now;
    }
    assign(std::move(list));
}

void TargetTable::resetToDefaults() { assign(std::vector<Target>(targetSlotCount)); }

std::vector<Target> TargetTable::snapshot(std::size_t newestResults) {
    std::scoped_lock lock(mutex_);
    std::vector<Target> copy;
    copy.reserve(entries_.size());
    for (const Target& entry : entries_) {
        Target& target = copy.emplace_back(withoutResults(entry));
        target.history = newest(entry.history, newestResults);
        target.roundTrips = newest(entry.roundTrips, newestResults);
    }
    return copy;
}

std::size_t TargetTable::slotCount() {
    std::scoped_lock lock(mutex_);
    return entries_.size();
}

bool TargetTable::copyEntry(std::size_t index, Target& out) {
    std::scoped_lock lock(mutex_);
    if (index >= entries_.size()) return false;
    out = entries_[index];
    return true;
}

bool TargetTable::copyEntryForSweep(std::size_t index, std::int64_t now, Target& out) {
    std::scoped_lock lock(mutex_);
    if (index >= entries_.size()) return false;
    Target& entry = entries_[index];
    if (entry.nextDue == 0) entry.nextDue = now;
    out = withoutResults(entry);
    return true;
}

bool TargetTable::recordResult(std::size_t index, std::uint8_t result, std::int64_t roundTrip,
                               std::int64_t now, std::int64_t probedAt, OutageChange* change) {
    std::scoped_lock lock(mutex_);
    if (index >= entries_.size()) return false;
    Target& entry = entries_[index];
    pushKeepingNewest(entry.history, result);
    pushKeepingNewest(entry.roundTrips, result != 0 ? roundTripMicros(roundTrip) : noRoundTrip);
    const std::int64_t seconds = std::max<std::int32_t>(entry.interval, 1);
    entry.nextDue = now + seconds * nanosPerSecond;
    const OutageChange changed = recordOutage(entry.outage, result != 0, probedAt);
    if (change) *change = changed;
    return true;
}

void TargetTable::forgetOutages() {
    std::scoped_lock lock(mutex_);
    for (Target& entry : entries_) {
        const int outages = entry.outage.outages;
        entry.outage = {};
        entry.outage.outages = outages;
    }
}
