#include "ui/window_class.h"

namespace {
OutOfMemoryHandler outOfMemoryHandler = nullptr;
}  // namespace

void registerWindowClass(const wchar_t* className, WNDPROC procedure, HBRUSH background) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    if (GetClassInfoW(instance, className, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
}

HWND createChildWindow(HWND parent, DWORD extendedStyle, const wchar_t* className,
                       const wchar_t* text, DWORD style, int id, const RECT& place) {
    return CreateWindowExW(extendedStyle, className, text, style, place.left, place.top,
                           place.right - place.left, place.bottom - place.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

bool bringToFront(HWND window) {
    if (!window || !IsWindow(window)) return false;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    return true;
}

void setOutOfMemoryHandler(OutOfMemoryHandler handler) { outOfMemoryHandler = handler; }

void reportOutOfMemory() {
    try {
        if (outOfMemoryHandler) outOfMemoryHandler();
    } catch (const std::bad_alloc&) {
        // The report needs memory too; without it, the message is given up unreported.
    }
}
