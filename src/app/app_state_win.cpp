#include "app/app_state.h"

HWND mainWindow = nullptr;
HWND monitorViewWindow = nullptr;
HWND statusPanel = nullptr;
HWND logWindow = nullptr;
HWND logEdit = nullptr;
HWND configWindow = nullptr;
HFONT uiFont = nullptr;

void applyUiFont(HWND control) {
    if (control && uiFont)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont), TRUE);
}
