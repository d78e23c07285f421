#pragma once
// Every window class of the program is registered the same way, and every child window is
// created the same way.

#include <windows.h>

// Registers a class with class style 0, the arrow cursor, no icon, no menu, no extra bytes and
// the module's own instance, unless a class of that name is registered already: a class is
// registered on first use and stays as it was. `background` is a brush or a system colour
// index + 1; null when the window paints all of itself.
void registerWindowClass(const wchar_t* className, WNDPROC procedure, HBRUSH background);

// A child window of `parent` with control id `id` at `place` (client coordinates of the
// parent), in the module's own instance and without creation data. Null when it could not be
// created.
HWND createChildWindow(HWND parent, DWORD extendedStyle, const wchar_t* className,
                       const wchar_t* text, DWORD style, int id, const RECT& place);

// A window that exists already (a secondary window exists at most once) is shown and brought to
// the front: true. False when `window` is null or was destroyed.
bool bringToFront(HWND window);
