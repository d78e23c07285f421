#pragma once
// The file-system service that differs between Windows and the native test build.

#include <string>

// Puts `source` in place of `target` in one step, replacing an existing file, and returns
// true; on failure `target` is left as it was.
bool replaceFileWith(const std::wstring& source, const std::wstring& target);
