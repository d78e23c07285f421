#include "model/data_folder.h"

std::wstring configFilePath() { return dataFolderPath() + L"config.xml"; }

std::wstring logFilePath() { return dataFolderPath() + L"monitor.log"; }
