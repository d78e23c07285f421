#pragma once
// Text for other programs: what Ctrl+C copies.

#include <windows.h>

#include <string>

// Puts `text` on the clipboard as Unicode text for `owner`. Another program may hold the
// clipboard for a moment, so opening it is tried for about half a second; false when it
// stayed held or memory ran out.
bool copyTextToClipboard(HWND owner, const std::wstring& text);
