#include "app/app_state.h"
#include "ui/dpi.h"

HWND mainWindow = nullptr;
HWND monitorViewWindow = nullptr;
HWND statusPanel = nullptr;
HWND logWindow = nullptr;
HWND logEdit = nullptr;
HWND configWindow = nullptr;
HFONT uiFont = nullptr;
UINT uiFontDpi = baseDpi;

HFONT uiFontFor(UINT dpi) {
    if (!uiFont) return nullptr;
    return dpi == uiFontDpi ? uiFont : uiFontAt(dpi);
}

void applyUiFont(HWND control) {
    HFONT font = control ? uiFontFor(dpiOf(control)) : nullptr;
    if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}
