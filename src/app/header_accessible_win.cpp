#include "app/header_accessible.h"

#include <oleacc.h>

#include "app/main_window.h"
#include "app/shown_table.h"
#include "engine/probe_worker.h"
#include "ui/accessible.h"
#include "ui/dpi.h"

namespace {

std::vector<AccessibleItem> headerItems(HWND window) {
    const UINT dpi = dpiOf(window);
    return {
        {L"Monitoring", isRunning.load() ? L"running" : L"stopped", L"", ROLE_SYSTEM_STATICTEXT,
         statusLampAt(dpi)},
        {L"Health", shownTable.health, L"", ROLE_SYSTEM_STATICTEXT, scaledBox(healthBarBox, dpi)}};
}

// What the readers were last told, to announce only what changed.
std::vector<AccessibleItem> announcedHeader;

}  // namespace

LRESULT answerHeaderObject(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!asksForClient(lParam)) return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    return answerClientObject(window, wParam, {0, L"", headerItems});
}

void announceHeaderChanges(HWND window) {
    announceItemChanges(window, headerItems(window), announcedHeader);
}
