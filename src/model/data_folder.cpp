#include "model/data_folder.h"

std::wstring configFilePath() { return dataFolderLocation() + L"config.xml"; }

std::wstring logFilePath() { return dataFolderLocation() + L"monitor.log"; }
