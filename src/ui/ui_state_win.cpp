#include "ui/ui_state.h"

HWND mainWindow = nullptr;
HFONT uiFont = nullptr;
UINT uiFontDpi = USER_DEFAULT_SCREEN_DPI;
