#pragma once
// Where config.xml and monitor.log live: the user's local application-data folder followed
// by "\Tarvex\". Every path is formed anew on each call.

#include <string>

constexpr wchar_t configFileName[] = L"config.xml";
constexpr wchar_t logFileName[] = L"monitor.log";

// The data folder, always ending with a path separator so file names append directly; nothing
// is created. Falls back to ".\Tarvex\" below the current directory when the known folder is
// unknown.
std::wstring dataFolderLocation();

// The same, after creating the folder with its missing parents when it is missing: called
// where a file is about to be written into it.
std::wstring dataFolderPath();

std::wstring configFilePath();  // dataFolderLocation() + configFileName
std::wstring logFilePath();     // dataFolderLocation() + logFileName
