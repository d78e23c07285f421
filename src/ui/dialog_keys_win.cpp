#include "ui/dialog_keys.h"

namespace {

// Where a top-level window keeps its focused control while it is not active.
constexpr wchar_t focusProperty[] = L"Tarvex.Focus";

bool isPushButton(HWND control) {
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) &
            (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

}  // namespace

void dispatchUiMessage(MSG& message) {
    HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (top && IsDialogMessageW(top, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

LRESULT restoreFocus(HWND window, WPARAM wParam, HWND initial) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (IsChild(window, focus)) SetPropW(window, focusProperty, focus);
        return 0;
    }
    if (HIWORD(wParam)) return 0;  // minimized: no focus
    HWND saved = static_cast<HWND>(GetPropW(window, focusProperty));
    SetFocus(saved && IsChild(window, saved) ? saved : initial);
    return 0;
}

LRESULT moveFocus(HWND window, WPARAM wParam, LPARAM lParam) {
    HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
    if (next) SetFocus(next);
    return 0;
}

LRESULT focusedButtonAsDefault(HWND window) {
    HWND focus = GetFocus();
    if (!IsChild(window, focus) || !isPushButton(focus)) return 0;
    return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
}
