#include "app/main_window.h"

#include <algorithm>
#include <memory>

#include "app/alerts.h"
#include "app/header_accessible.h"
#include "app/monitoring.h"
#include "app/shown_table.h"
#include "app/startup_table.h"
#include "app/status_panel.h"
#include "editor/config_window.h"
#include "log/log_window.h"
#include "model/clock.h"
#include "model/data_folder.h"
#include "ui/dialog_keys.h"
#include "ui/dpi.h"
#include "ui/gdi.h"
#include "ui/messages.h"
#include "ui/status_colors.h"
#include "ui/ui_state.h"
#include "ui/window_class.h"
#include "view/monitor_view.h"

HWND monitorViewWindow = nullptr;
HWND statusPanel = nullptr;
std::atomic<bool> refreshPosted = false;

namespace {

constexpr wchar_t mainWindowClass[] = L"Tarvex_MainWnd";
constexpr wchar_t mainWindowTitle[] =
    L"Tarvex Desktop " TARVEX_VERSION_TEXT L" - by the Tarvex team";
// No sizing border and no maximize box: the window only changes size through its panels.
constexpr DWORD mainWindowStyle =
    WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(mainWindowStyle == 0x06CA0000);

constexpr int bareHeight = 90;
constexpr int monitorPanelHeight = 570;
constexpr int statusPanelHeight = 150;
constexpr int headerBottom = 64;

struct HeaderButton {
    int id;
    const wchar_t* text;
    int x, y, width, height;
};

// In creation order.
constexpr HeaderButton headerButtons[] = {
    {serverButtonId, L"Stop server", 46, 6, 140, 32}, {configButtonId, L"Config", 196, 6, 140, 32},
    {monitorButtonId, L"Monitor", 346, 6, 140, 32},   {logButtonId, L"Log", 498, 6, 82, 32},
    {statusButtonId, L"Status", 584, 6, 82, 32},
};
// Indexes into headerButtons: 1001, 1002, 1003, 1005, 1004.
constexpr int buttonLayoutOrder[] = {0, 1, 2, 4, 3};

bool monitorVisible = false;
bool statusVisible = false;

// The font follows the main window's DPI; the other sizes stay, for windows at other DPIs.
void chooseUiFont(UINT dpi) {
    uiFontDpi = dpi;
    uiFont = uiFontAt(dpi);
}

void showOrHide(HWND window, bool visible) {
    if (window) ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
}

void setServerButtonText(HWND window) {
    HWND button = GetDlgItem(window, serverButtonId);
    if (button) SetWindowTextW(button, isRunning.load() ? L"Stop server" : L"Start server");
}

void layoutMainWindow(HWND window) {
    const ClientLayout client = clientLayoutOf(window);
    for (const int index : buttonLayoutOrder) {
        const HeaderButton& button = headerButtons[index];
        HWND control = GetDlgItem(window, button.id);
        const RECT place =
            scaledBox(RECT{button.x, button.y, button.x + button.width, button.y + button.height},
                      client.dpi);
        if (control)
            MoveWindow(control, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, TRUE);
    }
    showOrHide(monitorViewWindow, monitorVisible);
    if (monitorViewWindow && monitorVisible) {
        const int below = client.px(80) + (statusVisible ? client.px(statusPanelHeight) : 0);
        const int viewHeight = std::max(client.height - below, client.px(60));
        MoveWindow(monitorViewWindow, client.px(10), client.px(70), client.width - client.px(20),
                   viewHeight, TRUE);
    }
    showOrHide(statusPanel, statusVisible);
    if (statusPanel && statusVisible) {
        MoveWindow(statusPanel, client.px(10), client.height - client.px(statusPanelHeight),
                   client.width - client.px(20), client.px(140), TRUE);
    }
}

// The outer height follows the two panel flags; the width never changes.
void fitToPanels(HWND window) {
    const int height = bareHeight + (monitorVisible ? monitorPanelHeight : 0) +
                       (statusVisible ? statusPanelHeight : 0);
    const UINT dpi = dpiOf(window);
    SetWindowPos(window, nullptr, 0, 0, scaled(mainWindowWidth, dpi), scaled(height, dpi),
                 SWP_NOMOVE | SWP_NOZORDER);
    layoutMainWindow(window);
}

void fillWith(HDC dc, const RECT& area, COLORREF colour) {
    SolidBrush brush(colour);
    FillRect(dc, &area, brush.get());
}

using ShapeFunction = BOOL(WINAPI*)(HDC, int, int, int, int);

void drawOutlined(HDC dc, ShapeFunction shape, const RECT& box, COLORREF fill, COLORREF outline,
                  UINT dpi) {
    SolidBrush brush(fill);
    SolidPen pen(outline, dpi);
    SelectGuard brushSelection(dc, brush.get());
    SelectGuard penSelection(dc, pen.get());
    shape(dc, box.left, box.top, box.right, box.bottom);
}

// One snapshot of the table for everything the window shows of it: the view's rows, the
// health bar, the status panel and what screen readers are told. The pending-refresh flag is
// cleared before the table is read, so that a result recorded meanwhile posts again; and here
// rather than on WM_APP_REFRESH alone, so that a refresh lost with a destroyed main window does
// not silence the next one.
void showTable(HWND window) {
    refreshPosted = false;
    showMonitorViewRows(monitorViewWindow, takeShownTable());
    refreshStatusPanel();
    InvalidateRect(window, nullptr, FALSE);  // the lamp and the health bar
    announceHeaderChanges(window);
    showAlertState();
}

LRESULT onCreate(HWND window) {
    mainWindow = window;
    const UINT dpi = dpiOf(window);
    chooseUiFont(dpi);
    setProgramIcons(window);
    for (const HeaderButton& button : headerButtons) {
        applyUiFont(createChildWindow(window, 0, L"BUTTON", button.text,
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, button.id,
                                      RECT{}));
    }
    registerMonitorViewClass();
    monitorViewWindow = createChildWindow(window, WS_EX_CLIENTEDGE, monitorViewClassName, L"",
                                          WS_CHILD | WS_TABSTOP, monitorViewId,
                                          scaledBox(RECT{10, 80, 610, 380}, dpi));
    showOrHide(monitorViewWindow, false);
    statusPanel = createChildWindow(window, WS_EX_CLIENTEDGE, L"STATIC", L"", WS_CHILD | SS_LEFT,
                                    statusPanelId, scaledBox(RECT{10, 120, 610, 260}, dpi));
    applyUiFont(statusPanel);
    showOrHide(statusPanel, false);
    loadTargetTableAtStartup();
    autoStartMonitoring();
    setServerButtonText(window);
    layoutMainWindow(window);
    showTable(window);
    startAlerts(window);
    return 0;
}

// The worker did not end in time: it waits in a name look-up (which has no time-out of its
// own) or in a probe. Running the usual exit would pull Winsock (WSACleanup) and the static
// objects from under it, and ExitProcess would still run the DLLs' detach code while the
// worker may hold their locks; so the process ends here at once, as if it had ended normally.
// Nothing is lost: nothing is saved at shutdown, and each log entry was written and closed
// when it happened.
void endProcessNow() { TerminateProcess(GetCurrentProcess(), 0); }

LRESULT onDestroy(HWND window) {
    stopAlerts(window);
    if (!shutdownMonitoring()) endProcessNow();
    uiFont = nullptr;  // kept with its other sizes until the process ends (uiFontAt)
    PostQuitMessage(0);
    return 0;
}

// The whole client area is painted here, so WM_ERASEBKGND has nothing to do.
LRESULT onPaint(HWND window) {
    PaintScope paint(window);
    HDC dc = paint.dc();
    const UINT dpi = dpiOf(window);
    const int separatorY = scaled(headerBottom, dpi);
    RECT client{};
    GetClientRect(window, &client);
    fillWith(dc, client, backgroundColour);
    fillWith(dc, RECT{0, 0, client.right, separatorY}, RGB(250, 250, 250));
    {
        SolidPen separator(separatorColour, dpi);
        SelectGuard selection(dc, separator.get());
        MoveToEx(dc, 0, separatorY, nullptr);
        LineTo(dc, client.right, separatorY);
    }
    drawOutlined(dc, Ellipse, statusLampAt(dpi), isRunning.load() ? answeredColour : failedColour,
                 lampOutlineColour, dpi);
    drawOutlined(dc, Rectangle, scaledBox(healthBarBox, dpi),
                 shownTable.healthy ? answeredColour : failedColour, RGB(180, 180, 180), dpi);
    return 0;
}

void onServerButton(HWND window) {
    toggleMonitoring();
    setServerButtonText(window);
    showTable(window);  // the status lamp changes colour
}

void onMonitorButton(HWND window) {
    monitorVisible = !monitorVisible;
    fitToPanels(window);
    InvalidateRect(window, nullptr, TRUE);
}

void onStatusButton(HWND window) {
    statusVisible = !statusVisible;
    fitToPanels(window);
    refreshStatusPanel();
    InvalidateRect(window, nullptr, TRUE);
}

LRESULT onCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case serverButtonId: onServerButton(window); return 0;
        case configButtonId: openConfigWindow(); return 0;
        case monitorButtonId: onMonitorButton(window); return 0;
        case logButtonId: openLogWindow(); return 0;
        case statusButtonId: onStatusButton(window); return 0;
        default: return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    }
}

// Moved to a screen of another DPI (or its scale changed): new font, icons and layout.
LRESULT onDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    chooseUiFont(LOWORD(wParam));
    followDpiChange(window, wParam, lParam);
    layoutMainWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

// Asleep, probes would only fail (the network is gone); after the wake-up Wi-Fi or the VPN
// takes a moment to come back. PBT_APMRESUMEAUTOMATIC comes with every wake-up.
LRESULT onPowerBroadcast(WPARAM event) {
    if (event == PBT_APMSUSPEND) pauseMonitoringForSleep();
    if (event == PBT_APMRESUMEAUTOMATIC) resumeMonitoringAfterSleep(steadyNowNanos());
    return TRUE;
}

// The string is ours from the moment it was posted and is freed on every path.
LRESULT onLogLine(LPARAM lParam) {
    const std::unique_ptr<wchar_t[]> line(reinterpret_cast<wchar_t*>(lParam));
    if (line) appendLineToLogView(line.get());
    return 0;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return onCreate(window);
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_DESTROY: return onDestroy(window);
        case WM_SIZE: layoutMainWindow(window); return 0;
        case WM_PAINT: return onPaint(window);
        case WM_ERASEBKGND: return 1;
        case WM_COMMAND: return onCommand(window, wParam, lParam);
        case WM_APP_REFRESH: showTable(window); return 0;
        case WM_APP_LOGLINE: return onLogLine(lParam);
        case WM_ACTIVATE: return restoreFocus(window, wParam, GetDlgItem(window, serverButtonId));
        case WM_NEXTDLGCTL: return moveFocus(window, wParam, lParam);
        case DM_GETDEFID: return focusedButtonAsDefault(window);
        case WM_GETOBJECT: return answerHeaderObject(window, wParam, lParam);
        case WM_DPICHANGED: return onDpiChanged(window, wParam, lParam);
        case WM_POWERBROADCAST: return onPowerBroadcast(wParam);
        case WM_APP_OUTAGE: return onOutage(window, lParam);
        case WM_TIMER: return onAlertTimer(window, wParam);
        case WM_APP_NOTIFYICON: return onNotifyIcon(window, wParam, lParam);
        default:
            if (onTaskbarCreated(message)) return 0;
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void registerMainWindowClass() {
    registerWindowClass(mainWindowClass, guardedProcedure<mainWindowProc>,
                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

RECT statusLampAt(UINT dpi) { return scaledSquare(14, 16, 18, dpi); }

HWND createMainWindow(HINSTANCE instance) {
    // Windows places a new window on the main screen, whose DPI the screen's DC gives.
    const UINT dpi = screenDpi();
    return CreateWindowExW(0, mainWindowClass, mainWindowTitle, mainWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, scaled(mainWindowWidth, dpi), scaled(bareHeight, dpi),
                           nullptr, nullptr, instance, nullptr);
}
