#include "app/startup_table.h"

#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/config_store.h"
#include "log/event_log.h"
#include "model/clock.h"
#include "model/data_folder.h"
#include "model/target_table.h"
#include "model/text_file.h"

void loadTargetTableAtStartup() {
    removeLeftoverTemporaries(dataFolderPath());
    const std::wstring path = configFilePath();
    std::vector<Target> list;
    const ConfigReadStatus status = readConfigFileStatus(path, list);
    bool defaultsWritten = true;
    switch (status) {
        case ConfigReadStatus::read:
        case ConfigReadStatus::noTargetBlocks:
            targetTable.replaceAll(list, steadyNowNanos());
            break;
        case ConfigReadStatus::missing:
        case ConfigReadStatus::empty:
            defaultsWritten = placeAndStoreTable(std::vector<Target>(targetSlotCount));
            break;
        case ConfigReadStatus::unreadable: targetTable.resetToDefaults(); break;
    }
    if (status == ConfigReadStatus::unreadable) {
        logEvent(
            L"config.xml could not be read; monitoring the default table, file "
            L"left unchanged: " +
            path);
    } else if (!defaultsWritten) {
        logEvent(L"config.xml could not be written: " + path);
    }
}
