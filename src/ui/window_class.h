#pragma once
// Every window class of the program is registered the same way, and every child window is
// created the same way.

#include <windows.h>

#include <new>

// Registers a class with class style 0, the arrow cursor, no icon, no menu, no extra bytes and
// the module's own instance, unless a class of that name is registered already: a class is
// registered on first use and stays as it was. `background` is a brush or a system colour
// index + 1; null when the window paints all of itself.
void registerWindowClass(const wchar_t* className, WNDPROC procedure, HBRUSH background);

// Tells of an allocation that failed inside a window procedure; installed once at start (the
// program logs it).
using OutOfMemoryHandler = void (*)();
void setOutOfMemoryHandler(OutOfMemoryHandler handler);
void reportOutOfMemory();

// The edge of a window procedure, as registered: an exception must not unwind into Windows,
// which ends the process. Out of memory (a huge file, an exhausted machine), the message is
// given up, reported and answered by DefWindowProcW, and the program keeps running.
template <WNDPROC procedure>
LRESULT CALLBACK guardedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return procedure(window, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A child window of `parent` with control id `id` at `place` (client coordinates of the
// parent), in the module's own instance and without creation data. Null when it could not be
// created.
HWND createChildWindow(HWND parent, DWORD extendedStyle, const wchar_t* className,
                       const wchar_t* text, DWORD style, int id, const RECT& place);

// A window that exists already (a secondary window exists at most once) is shown and brought to
// the front: true. False when `window` is null or was destroyed.
bool bringToFront(HWND window);
