// The monitor view for screen readers: a list with one item per row shown, in the same order,
// each read as its host and protocol, its lamp ("up", "down", "not probed yet") and how many
// of its results shown answered.
#include <oleacc.h>

#include "ui/accessible.h"
#include "ui/dpi.h"
#include "view/monitor_view.h"

namespace {

std::vector<AccessibleItem> rowItems(HWND view) {
    const UINT dpi = dpiOf(view);
    RECT client{};
    GetClientRect(view, &client);
    std::vector<AccessibleItem> items;
    int rowTop = firstRowTop;
    for (const ViewRow& row : monitorViewRows()) {
        const RECT box{0, scaled(rowTop, dpi), client.right, scaled(rowTop + rowPitch, dpi)};
        items.push_back(
            {spokenName(row), spokenValue(row), spokenDescription(row), ROLE_SYSTEM_LISTITEM, box});
        rowTop += rowPitch;
    }
    return items;
}

// What the readers were last told, to announce only what a refresh changed.
std::vector<AccessibleItem> announcedRows;

}  // namespace

void announceMonitorViewChanges(HWND view) {
    announceItemChanges(view, rowItems(view), announcedRows);
}

LRESULT answerMonitorViewObject(HWND view, WPARAM wParam, LPARAM lParam) {
    if (!asksForClient(lParam)) return DefWindowProcW(view, WM_GETOBJECT, wParam, lParam);
    return answerClientObject(view, wParam, {ROLE_SYSTEM_LIST, L"Targets", rowItems});
}
