#include "app/status_panel.h"

#include <windows.h>

#include <algorithm>

#include "app/main_window.h"
#include "app/monitoring.h"
#include "model/data_folder.h"
#include "model/target_table.h"

void refreshStatusPanel() {
    if (!statusPanel) return;
    // Counted under the lock rather than from a snapshot: this runs after every probe, and
    // a snapshot would copy every history while the worker waits.
    std::ptrdiff_t inUse = 0;
    {
        TargetTable::Locked table = targetTable.lock();
        inUse = std::count_if(table.entries().begin(), table.entries().end(), isInUse);
    }
    const std::wstring text =
        buildStatusText(isRunning.load(), static_cast<std::size_t>(inUse), dataFolderLocation());
    SetWindowTextW(statusPanel, text.c_str());
}
