#include "ui/ui_state.h"

HWND mainWindow = nullptr;
HFONT uiFont = nullptr;

HWND applyUiFont(HWND control) {
    if (control && uiFont)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont), TRUE);
    return control;
}
