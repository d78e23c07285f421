#pragma once
// The native test build keeps its data folder where a test puts it.

#include <string>

// `folder` must end with '/'. It is created by dataFolderPath() when missing.
void setDataFolderForTests(const std::wstring& folder);
