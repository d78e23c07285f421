// What showing one target's details costs on the user-interface thread, with 20 targets of
// 2500 results and round-trip times each (one in twenty failed, times 0.2 to 2.2 ms at
// random): the whole copy of one entry under the table's lock alone, then that copy with the
// details computed and written in every text form. Usage: details_bench [rounds]

#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/target_details.h"
#include "engine_run.h"
#include "log/local_time.h"

namespace {

void fillTable() {
    std::uint32_t random = 20261207;
    std::vector<Target> table(targetSlotCount);
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        Target& target = table[slot];
        target.host = L"127.0.0." + std::to_wstring(slot + 1);
        fillFullHistory(target, random);
        target.outage.state = OutageState::up;
        target.outage.since = steadyNowNanos();
    }
    targetTable.assign(std::move(table));
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = static_cast<int>(numberArgument(argc, argv, 1, 1000));
    fillTable();
    std::vector<double> copies;
    std::vector<double> wholes;
    std::size_t written = 0;  // keeps the texts from being optimised away
    for (int round = 0; round < rounds; ++round) {
        const std::size_t slot = static_cast<std::size_t>(round) % targetSlotCount;
        Target entry;
        copies.push_back(millisOf([&] { targetTable.copyEntry(slot, entry); }));
        wholes.push_back(millisOf([&] {
            Target shown;
            targetTable.copyEntry(slot, shown);
            const TargetDetails details = targetDetailsOf(shown, steadyNowNanos(), readLocalTime());
            written += detailsText(details).size() + spokenDetails(details).size() +
                       detailsRow(details).size();
        }));
    }
    std::printf("20 targets x %zu results and times, %d rounds, %zu characters written\n",
                historyLimit, rounds, written);
    printFigures("copyEntry alone (under the table's lock)", "ms", copies);
    printFigures("copyEntry + details + the three texts", "ms", wholes);
    return 0;
}
