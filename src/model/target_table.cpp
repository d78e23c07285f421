#include "model/target_table.h"

#include <algorithm>

#include "model/clock.h"

TargetTable targetTable;

void TargetTable::assign(std::vector<Target> list) {
    std::vector<Target> old;  // freed after the lock is released
    std::scoped_lock lock(mutex_);
    old.swap(entries_);
    entries_.swap(list);
}

void TargetTable::replaceAll(std::vector<Target> list, std::int64_t now) {
    for (Target& entry : list) {
        entry.history.clear();
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
        const std::size_t kept = std::min(entry.history.size(), newestResults);
        Target& target = copy.emplace_back();
        target.enabled = entry.enabled;
        target.type = entry.type;
        target.host = entry.host;
        target.port = entry.port;
        target.interval = entry.interval;
        target.history.assign(entry.history.end() - static_cast<std::ptrdiff_t>(kept),
                              entry.history.end());
        target.nextDue = entry.nextDue;
        target.outage = entry.outage;
    }
    return copy;
}

std::size_t TargetTable::slotCount() {
    std::scoped_lock lock(mutex_);
    return entries_.size();
}

bool TargetTable::copyEntryForSweep(std::size_t index, std::int64_t now, Target& out) {
    std::scoped_lock lock(mutex_);
    if (index >= entries_.size()) return false;
    Target& entry = entries_[index];
    if (entry.nextDue == 0) entry.nextDue = now;
    out = entry;
    return true;
}

bool TargetTable::recordResult(std::size_t index, std::uint8_t result, std::int64_t now,
                               std::int64_t probedAt, OutageChange* change) {
    std::scoped_lock lock(mutex_);
    if (index >= entries_.size()) return false;
    Target& entry = entries_[index];
    entry.history.push_back(result);
    while (entry.history.size() > historyLimit) entry.history.pop_front();
    const std::int64_t seconds = std::max<std::int32_t>(entry.interval, 1);
    entry.nextDue = now + seconds * nanosPerSecond;
    const OutageChange changed = recordOutage(entry.outage, result != 0, probedAt);
    if (change) *change = changed;
    return true;
}

void TargetTable::forgetOutages() {
    std::scoped_lock lock(mutex_);
    for (Target& entry : entries_) entry.outage = {};
}
