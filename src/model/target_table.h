#pragma once
// The process-wide table of target slots and the one mutex that guards every field of it.
// Nothing touches the entries without holding the mutex; the lock is only ever taken for
// short copies and updates, never while probing, logging, posting or drawing.

#include <cstdint>
#include <mutex>
#include <vector>

#include "model/target.h"

class TargetTable {
public:
    // The entries, reachable only while the guard lives.
    class Locked {
    public:
        explicit Locked(TargetTable& table) : table_(table), lock_(table.mutex_) {}
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;

        std::vector<Target>& entries() { return table_.entries_; }

        // Exactly targetSlotCount fresh targets, whatever the table held.
        void resetToDefaults();
        // The table becomes a copy of `list`; every target loses its results and is due at
        // `now`, so the worker probes each of them in its next sweep.
        void replaceAll(const std::vector<Target>& list, std::int64_t now);

    private:
        TargetTable& table_;
        std::scoped_lock<std::mutex> lock_;
    };

    Locked lock() { return Locked(*this); }

    // A copy of every entry, results included, taken under the lock.
    std::vector<Target> snapshot();

    // The worker's two per-slot steps, each its own short lock. Both answer false when the
    // table has meanwhile become shorter than `index`.
    // Copies entry `index` into `out`; an unscheduled entry (nextDue 0) is scheduled at `now`.
    bool copyEntryForSweep(std::size_t index, std::int64_t now, Target& out);
    // Appends one result, keeps the newest historyLimit results and schedules the next probe
    // at `now` + the entry's current interval (at least one second).
    bool recordResult(std::size_t index, std::uint8_t result, std::int64_t now);

private:
    std::mutex mutex_;
    std::vector<Target> entries_;
};

extern TargetTable targetTable;
