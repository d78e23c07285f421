#include "config/config_store.h"

#include <utility>

#include "config/config_file.h"
#include "model/clock.h"
#include "model/data_folder.h"
#include "model/target_table.h"

namespace {
std::function<void()> tablePlaced;  // set before the main window exists, then only read
}  // namespace

bool placeAndStoreTable(const std::vector<Target>& list) {
    targetTable.replaceAll(list, steadyNowNanos());
    if (tablePlaced) tablePlaced();
    dataFolderPath();  // makes a folder removed since start-up again
    return writeConfigFile(configFilePath(), list);
}

void setTablePlacedHook(std::function<void()> hook) { tablePlaced = std::move(hook); }
