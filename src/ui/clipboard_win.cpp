#include "ui/clipboard.h"

#include <cstring>

namespace {

// The text in movable global memory, as the clipboard takes it; null when memory ran out.
HGLOBAL globalCopy(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* place = memory ? GlobalLock(memory) : nullptr;
    if (!place) {
        if (memory) GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(place, text.c_str(), bytes);
    GlobalUnlock(memory);
    return memory;
}

bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < 25; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

}  // namespace

bool copyTextToClipboard(HWND owner, const std::wstring& text) {
    HGLOBAL memory = globalCopy(text);
    if (!memory) return false;
    if (!openClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    // Once SetClipboardData takes the memory, the system owns it.
    const bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    if (!placed) GlobalFree(memory);
    return placed;
}
