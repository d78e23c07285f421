#pragma once
// The process-wide table of target slots and the one mutex that guards every field of it.
// The entries never leave it by reference: every step copies in or out under its own short
// lock, never held while probing, logging, posting, writing a file or drawing.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "model/target.h"

class TargetTable {
public:
    // The table becomes `list` as it is, results and due times included.
    void assign(std::vector<Target> list);
    // The table becomes `list`; every target loses its results and its outage state (its count
    // of outages too) and is due at `now`, so the worker probes each of them in its next sweep.
    void replaceAll(std::vector<Target> list, std::int64_t now);
    // Exactly targetSlotCount fresh targets, whatever the table held.
    void resetToDefaults();

    // A copy of every entry with at most its `newestResults` newest results and round-trip
    // times.
    std::vector<Target> snapshot(std::size_t newestResults = historyLimit);
    std::size_t slotCount();
    // A whole copy of entry `index`, for what is shown of one target; false when there is none.
    bool copyEntry(std::size_t index, Target& out);

    // The worker's two per-slot steps. Both answer false when the table has meanwhile become
    // shorter than `index`.
    // Copies entry `index` without its results into `out`; an unscheduled entry (nextDue 0) is
    // scheduled at `now`.
    bool copyEntryForSweep(std::size_t index, std::int64_t now, Target& out);
    // Appends one result and beside it the answer's round-trip time `roundTrip` (ns; none for
    // a failure), keeps the newest historyLimit of each, schedules the next probe at `now` +
    // the entry's current interval (at least one second) and steps the entry's outage state
    // with the probe's end time `probedAt`, answering what that changed in `change`.
    bool recordResult(std::size_t index, std::uint8_t result, std::int64_t roundTrip,
                      std::int64_t now, std::int64_t probedAt, OutageChange* change = nullptr);
    // Every target's outage state becomes unknown again, without an announcement; the count
    // of its outages stays.
    void forgetOutages();

private:
    std::mutex mutex_;
    std::vector<Target> entries_;
};

extern TargetTable targetTable;
