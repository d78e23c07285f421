#pragma once
// Every window class of the program is registered the same way: class style 0, the arrow
// cursor, no icon, no menu, no extra bytes, the module's own instance.

#include <windows.h>

// `background` is a brush or a system colour index + 1; null when the window paints all of
// itself. The result is not examined: a class that is already registered stays as it was.
void registerWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure,
                         HBRUSH background);
