#pragma once
// Where config.xml and monitor.log live: the user's local application-data folder followed
// by "\Tarvex\". Every path is formed anew on each call, and a missing folder is created.

#include <string>

// The data folder, always ending with a path separator so file names append directly.
// Falls back to ".\Tarvex\" below the current directory when the known folder is unknown.
std::wstring dataFolderPath();

std::wstring configFilePath();  // dataFolderPath() + "config.xml"
std::wstring logFilePath();     // dataFolderPath() + "monitor.log"
