#pragma once
// The status panel's text: server state, targets in use, the two file paths, credits.

#include <cstddef>
#include <string>

// `dataFolder` ends with a path separator.
std::wstring buildStatusText(bool running, std::size_t targetsInUse,
                             const std::wstring& dataFolder);

// Rebuilds the panel's text from isRunning and shownTable (user-interface thread only).
void refreshStatusPanel();
