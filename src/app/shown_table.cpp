#include "app/shown_table.h"

#include <algorithm>

#include "app/health.h"
#include "app/target_details.h"
#include "model/clock.h"
#include "model/target_table.h"

ShownTable shownTable;

namespace {

std::size_t inUseAndIn(const std::vector<Target>& targets, OutageState state) {
    return static_cast<std::size_t>(std::count_if(targets.begin(), targets.end(), [&](auto& t) {
        return isInUse(t) && t.outage.state == state;
    }));
}

}  // namespace

std::vector<ViewRow> takeShownTable() {
    const std::vector<Target> targets = targetTable.snapshot(maxBarsPerRow);
    shownTable.inUse =
        static_cast<std::size_t>(std::count_if(targets.begin(), targets.end(), isInUse));
    shownTable.up = inUseAndIn(targets, OutageState::up);
    shownTable.down = inUseAndIn(targets, OutageState::down);
    shownTable.healthy = allTargetsInUseAnswered(targets);
    shownTable.health = spokenHealth(targets);
    return buildViewRows(targets);
}

RowDetailTexts detailsOfRow(const ViewRow& row) {
    Target target;
    if (!targetTable.copyEntry(row.slot, target)) return {};
    const TargetDetails details = targetDetailsOf(target, steadyNowNanos(), readLocalTime());
    return {detailsText(details), spokenDetails(details), detailsRow(details)};
}
