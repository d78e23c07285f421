#pragma once
// The keyboard of a dialog for the program's plain top-level windows: Tab and Shift+Tab move
// the focus through the controls with WS_TABSTOP in creation order, Space and Enter press the
// focused button, Escape sends WM_COMMAND IDCANCEL, and a window that is activated again gives
// the focus back to the control that had it.

#include <windows.h>

// The message loop's step: the keys of a dialog for the message's top-level window (which
// IsDialogMessageW then also dispatches), every other message translated and dispatched.
void dispatchUiMessage(MSG& message);

// WM_ACTIVATE: the focus goes back to the control that had it when the window was left, at
// first to `initial`. Returns the message's result.
LRESULT restoreFocus(HWND window, WPARAM wParam, HWND initial);
// WM_NEXTDLGCTL, which a multi-line edit (and, in some versions, IsDialogMessageW) sends for
// Tab: the focus moves on as in a dialog.
LRESULT moveFocus(HWND window, WPARAM wParam, LPARAM lParam);
// DM_GETDEFID: the focused push button is the one Enter presses.
LRESULT focusedButtonAsDefault(HWND window);
