// The monitor view for screen readers: a list with one item per row shown, in the same order,
// each read as its host and protocol, its lamp ("up", "down", "not probed yet") and how many
// of its results shown answered, then its round-trip times and since when it is up or down.
// The selected row is the selected item, and the focused one while the view has the focus.
#include <oleacc.h>

#include "ui/accessible.h"
#include "view/monitor_view.h"

namespace {

// The details are left out of what is compared for announcements: they are computed only
// when a reader asks, not on every refresh.
std::vector<AccessibleItem> rowItems(HWND view, bool withDetails) {
    std::vector<AccessibleItem> items;
    const std::vector<ViewRow>& rows = monitorViewRows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        std::wstring description = spokenDescription(rows[row]);
        const std::wstring details =
            withDetails ? monitorRowDetails(static_cast<int>(row)).spoken : L"";
        if (!details.empty()) description += L"; " + details;
        items.push_back({spokenName(rows[row]), spokenValue(rows[row]), description,
                         ROLE_SYSTEM_LISTITEM, monitorRowBox(view, row)});
    }
    return items;
}

std::vector<AccessibleItem> itemsWithDetails(HWND view) { return rowItems(view, true); }

LONG selectedItem(HWND) { return selectedMonitorRow() + 1; }

// What the readers were last told, to announce only what a refresh changed.
std::vector<AccessibleItem> announcedRows;

}  // namespace

void announceMonitorViewChanges(HWND view) {
    announceItemChanges(view, rowItems(view, false), announcedRows);
}

LRESULT answerMonitorViewObject(HWND view, WPARAM wParam, LPARAM lParam) {
    if (!asksForClient(lParam)) return DefWindowProcW(view, WM_GETOBJECT, wParam, lParam);
    return answerClientObject(view, wParam,
                              {ROLE_SYSTEM_LIST, L"Targets", itemsWithDetails, selectedItem});
}
