#include "app/window_class.h"

void registerWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure,
                         HBRUSH background) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
}
