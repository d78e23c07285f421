#include "model/target_table.h"

#include <algorithm>

#include "model/clock.h"

TargetTable targetTable;

void TargetTable::Locked::resetToDefaults() { table_.entries_.assign(targetSlotCount, Target{}); }

void TargetTable::Locked::replaceAll(const std::vector<Target>& list, std::int64_t now) {
    table_.entries_ = list;
    for (Target& entry : table_.entries_) {
        entry.history.clear();
        entry.nextDue = now;
    }
}

std::vector<Target> TargetTable::snapshot() {
    std::scoped_lock lock(mutex_);
    return entries_;
}

bool TargetTable::copyEntryForSweep(std::size_t index, std::int64_t now, Target& out) {
    std::scoped_lock lock(mutex_);
    if (index >= entries_.size()) return false;
    Target& entry = entries_[index];
    if (entry.nextDue == 0) entry.nextDue = now;
    out = entry;
    return true;
}

bool TargetTable::recordResult(std::size_t index, std::uint8_t result, std::int64_t now) {
    std::scoped_lock lock(mutex_);
    if (index >= entries_.size()) return false;
    Target& entry = entries_[index];
    entry.history.push_back(result);
    while (entry.history.size() > historyLimit) entry.history.pop_front();
    const std::int64_t seconds = std::max<std::int32_t>(entry.interval, 1);
    entry.nextDue = now + seconds * nanosPerSecond;
    return true;
}
