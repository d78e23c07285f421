#include "ui/ui_state.h"

#include "ui/dpi.h"

HWND mainWindow = nullptr;
HFONT uiFont = nullptr;
UINT uiFontDpi = baseDpi;

HFONT uiFontFor(UINT dpi) {
    if (!uiFont) return nullptr;
    return dpi == uiFontDpi ? uiFont : uiFontAt(dpi);
}

HWND applyUiFont(HWND control) {
    HFONT font = control ? uiFontFor(dpiOf(control)) : nullptr;
    if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}
