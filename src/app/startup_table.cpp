#include "app/startup_table.h"

#include <string>
#include <vector>

#include "config/config_file.h"
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
    {
        TargetTable::Locked table = targetTable.lock();
        switch (status) {
            case ConfigReadStatus::read:
            case ConfigReadStatus::noTargetBlocks: table.replaceAll(list, steadyNowNanos()); break;
            case ConfigReadStatus::missing:
            case ConfigReadStatus::empty:
                table.resetToDefaults();
                defaultsWritten = writeConfigFile(path, table.entries());
                break;
            case ConfigReadStatus::unreadable: table.resetToDefaults(); break;
        }
    }
    // Logged only now: the log posts to the main window and must never run under the lock.
    if (status == ConfigReadStatus::unreadable) {
        appendLogLine(formatTimestamp() +
                      L" | config.xml could not be read; monitoring the default table, file "
                      L"left unchanged: " +
                      path);
    } else if (!defaultsWritten) {
        appendLogLine(formatTimestamp() + L" | config.xml could not be written: " + path);
    }
}
