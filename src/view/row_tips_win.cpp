#include "view/row_tips.h"

#include <commctrl.h>  // after windows.h, which the header includes

#include <algorithm>

#include "ui/dpi.h"
#include "view/monitor_view.h"
#include "view/view_rows.h"

namespace {

constexpr UINT_PTR keyboardTool = 0;  // the mouse's tools are the rows' numbers, from 1

HWND mouseTip = nullptr;
HWND keyboardTip = nullptr;
std::size_t mouseTools = 0;
int keyboardRow = -1;

TTTOOLINFOW toolOf(HWND view, UINT_PTR id, UINT flags) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = flags;
    tool.hwnd = view;
    tool.uId = id;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    return tool;
}

// Shown even while the window is not active; the lines break only where the text does.
HWND createTip(HWND view) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, view, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 2000);
    return tip;
}

void sendTool(HWND tip, UINT message, const TTTOOLINFOW& tool) {
    SendMessageW(tip, message, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

void createRowTips(HWND view) {
    mouseTip = createTip(view);
    keyboardTip = createTip(view);
    sendTool(keyboardTip, TTM_ADDTOOLW, toolOf(view, keyboardTool, TTF_TRACK | TTF_ABSOLUTE));
    mouseTools = 0;
    keyboardRow = -1;
}

void placeRowTips(HWND view, std::size_t rowCount) {
    const auto font = reinterpret_cast<WPARAM>(uiFontFor(dpiOf(view)));
    for (HWND tip : {mouseTip, keyboardTip}) SendMessageW(tip, WM_SETFONT, font, FALSE);
    for (std::size_t row = 0; row < std::max(rowCount, mouseTools); ++row) {
        TTTOOLINFOW tool = toolOf(view, row + 1, TTF_SUBCLASS);
        tool.rect = monitorRowBox(view, row);
        sendTool(mouseTip,
                 row >= rowCount     ? TTM_DELTOOLW
                 : row >= mouseTools ? TTM_ADDTOOLW
                                     : TTM_NEWTOOLRECTW,
                 tool);
    }
    mouseTools = rowCount;
    SendMessageW(mouseTip, TTM_UPDATE, 0, 0);  // a tip shown asks for its text anew
}

void showKeyboardTip(HWND view, int row) {
    const TTTOOLINFOW tool = toolOf(view, keyboardTool, 0);
    keyboardRow = row;
    if (row < 0) {
        SendMessageW(keyboardTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    const RECT box = monitorRowBox(view, static_cast<std::size_t>(row));
    POINT corner{scaled(hostTextLeft, dpiOf(view)), box.bottom};
    ClientToScreen(view, &corner);
    SendMessageW(keyboardTip, TTM_TRACKPOSITION, 0, MAKELPARAM(corner.x, corner.y));
    SendMessageW(keyboardTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(keyboardTip, TTM_UPDATE, 0, 0);
}

int rowOfTipTool(UINT_PTR tool) {
    return tool == keyboardTool ? keyboardRow : static_cast<int>(tool) - 1;
}
