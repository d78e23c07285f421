#include "app/status_panel.h"

#include <windows.h>

#include "app/main_window.h"
#include "app/monitoring.h"
#include "app/shown_table.h"
#include "model/data_folder.h"

void refreshStatusPanel() {
    if (!statusPanel) return;
    const std::wstring text =
        buildStatusText(isRunning.load(), shownTable.inUse, dataFolderLocation());
    SetWindowTextW(statusPanel, text.c_str());
}
