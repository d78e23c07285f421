#include "model/data_folder.h"

std::wstring configFilePath() { return dataFolderLocation() + configFileName; }

std::wstring logFilePath() { return dataFolderLocation() + logFileName; }
