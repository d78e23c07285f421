#include "app/status_panel.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/app_state.h"
#include "app/monitoring.h"
#include "model/data_folder.h"
#include "model/target_table.h"

void refreshStatusPanel() {
    if (!statusPanel) return;
    const std::vector<Target> table = targetTable.snapshot();  // the lock ends here
    const auto inUse = std::count_if(table.begin(), table.end(), isInUse);
    const std::wstring text =
        buildStatusText(isRunning.load(), static_cast<std::size_t>(inUse), dataFolderPath());
    SetWindowTextW(statusPanel, text.c_str());
}
