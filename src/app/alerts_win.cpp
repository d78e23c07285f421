#include "app/alerts.h"

#include <shellapi.h>

#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <utility>

#include "alert/alert_balloons.h"
#include "alert/notify_icon_win.h"
#include "alert/tray_state.h"
#include "app/main_window.h"
#include "app/shown_table.h"
#include "engine/probe_worker.h"
#include "model/clock.h"
#include "model/outage.h"
#include "ui/window_class.h"

namespace {

constexpr UINT_PTR balloonTimerId = 1;
enum IconMenuCommand : UINT { showCommand = 1, serverCommand, exitCommand };

BalloonGatherer gatherer;  // user-interface thread only

TrayState shownTrayState() {
    return trayStateOf(isRunning.load(), shownTable.inUse, shownTable.up, shownTable.down);
}

// Every target in use is down, and there are two or more: the network itself may be out.
bool allTargetsDown() { return shownTable.inUse >= 2 && shownTable.down == shownTable.inUse; }

// The timer fires when the gathered notices are due; none is set while nothing waits.
void armBalloonTimer(HWND window) {
    const std::int64_t due = gatherer.dueAt();
    if (due == 0) return;
    const std::int64_t left = std::max<std::int64_t>(due - steadyNowNanos(), 0);
    SetTimer(window, balloonTimerId, static_cast<UINT>((left + 999'999) / 1'000'000), nullptr);
}

// Not while the operator looks at the main window or one of the windows it owns. A minimized
// window may still be the foreground window, though nobody sees it.
void flashUnlessInFront(HWND window) {
    if (!IsIconic(window) && GetAncestor(GetForegroundWindow(), GA_ROOTOWNER) == window) return;
    FLASHWINFO flash{sizeof flash, window, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void showMainWindow(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    bringToFront(window);
}

using OwnedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)>;

// The icon's menu at `anchor`: "Show Tarvex", the server button's command as it reads now,
// and "Exit", which closes the main window as its close box does.
void showIconMenu(HWND window, POINT anchor) {
    const OwnedMenu menu(CreatePopupMenu(), DestroyMenu);
    if (!menu) return;
    const HWND serverButton = GetDlgItem(window, serverButtonId);
    wchar_t serverText[32] = L"";
    GetWindowTextW(serverButton, serverText, ARRAYSIZE(serverText));
    AppendMenuW(menu.get(), MF_STRING, showCommand, L"Show Tarvex");
    AppendMenuW(menu.get(), MF_STRING, serverCommand, serverText);
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, exitCommand, L"Exit");
    SetMenuDefaultItem(menu.get(), showCommand, FALSE);
    // A menu of a window in the background does not close when the operator clicks elsewhere;
    // the message after it lets the menu end properly.
    SetForegroundWindow(window);
    const auto chosen =
        static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                         anchor.x, anchor.y, 0, window, nullptr));
    PostMessageW(window, WM_NULL, 0, 0);
    switch (chosen) {
        case showCommand: showMainWindow(window); break;
        case serverCommand:
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(serverButtonId, BN_CLICKED),
                         reinterpret_cast<LPARAM>(serverButton));
            break;
        case exitCommand: PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        default: break;  // the menu was left
    }
}

}  // namespace

void startAlerts(HWND window) { startNotifyIcon(window, shownTrayState()); }

void showAlertState() { showTrayState(shownTrayState()); }

LRESULT onOutage(HWND window, LPARAM lParam) {
    std::unique_ptr<OutageNotice> notice(reinterpret_cast<OutageNotice*>(lParam));
    if (!notice) return 0;
    if (notice->event == OutageEvent::down) flashUnlessInFront(window);
    gatherer.add(std::move(*notice), steadyNowNanos());
    armBalloonTimer(window);
    return 0;
}

LRESULT onAlertTimer(HWND window, WPARAM timer) {
    if (timer != balloonTimerId) return 0;
    KillTimer(window, balloonTimerId);
    if (const auto balloon = gatherer.take(steadyNowNanos(), allTargetsDown())) {
        showBalloon(*balloon);
    }
    armBalloonTimer(window);  // a timer that came early
    return 0;
}

LRESULT onNotifyIcon(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(lParam)) {
        case NIN_SELECT:
        case NIN_KEYSELECT: showMainWindow(window); return 0;
        case WM_CONTEXTMENU:
            showIconMenu(window, POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
            return 0;
        default: return 0;
    }
}

bool onTaskbarCreated(UINT message) {
    if (message == 0 || message != taskbarCreatedMessage()) return false;
    addNotifyIconAgain();
    return true;
}

void stopAlerts(HWND window) {
    KillTimer(window, balloonTimerId);
    gatherer = BalloonGatherer();  // what waits is of this window
    stopNotifyIcon();
}
