#include "app/shown_table.h"

#include <algorithm>

#include "app/health.h"
#include "model/target_table.h"

ShownTable shownTable;

std::vector<ViewRow> takeShownTable() {
    const std::vector<Target> targets = targetTable.snapshot(maxBarsPerRow);
    shownTable.inUse =
        static_cast<std::size_t>(std::count_if(targets.begin(), targets.end(), isInUse));
    shownTable.healthy = allTargetsInUseAnswered(targets);
    shownTable.health = spokenHealth(targets);
    return buildViewRows(targets);
}
