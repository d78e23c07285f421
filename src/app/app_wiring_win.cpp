#include "app/app_wiring.h"

#include <memory>
#include <utility>

#include "app/main_window.h"
#include "app/shown_table.h"
#include "app/target_details.h"
#include "config/config_store.h"
#include "engine/probe_worker.h"
#include "engine/probes.h"
#include "log/event_log.h"
#include "model/outage.h"
#include "ui/messages.h"
#include "ui/ui_state.h"
#include "ui/window_class.h"
#include "view/monitor_view.h"

namespace {

void postRefresh() {
    if (!mainWindow || refreshPosted.exchange(true)) return;
    if (!PostMessageW(mainWindow, WM_APP_REFRESH, 0, 0)) refreshPosted = false;
}

// The copy belongs to the main window once posted; when the post fails nobody else will
// ever see it, so it is freed here at once.
template <typename Copy>
void postCopy(UINT message, Copy copy) {
    if (PostMessageW(mainWindow, message, 0, reinterpret_cast<LPARAM>(copy.get()))) {
        copy.release();
    }
}

void postLogLine(const std::wstring& line) {
    if (!mainWindow) return;
    std::unique_ptr<wchar_t[]> copy(new wchar_t[line.size() + 1]);
    line.copy(copy.get(), line.size());
    copy[line.size()] = L'\0';
    postCopy(WM_APP_LOGLINE, std::move(copy));
}

void postOutage(const OutageNotice& notice) {
    if (mainWindow) postCopy(WM_APP_OUTAGE, std::make_unique<OutageNotice>(notice));
}

}  // namespace

void installAppHooks() {
    ProbeWorkerHooks hooks;
    hooks.probeIcmp = probeIcmp;
    hooks.probeTcp = probeTcp;
    hooks.notifyRefresh = postRefresh;
    hooks.notifyOutage = postOutage;
    setProbeWorkerHooks(std::move(hooks));
    setTablePlacedHook(postRefresh);
    setRowDetailsSource(detailsOfRow, detailsRowHeader);
    setLogLineSink(postLogLine);
    setOutOfMemoryHandler([] { logEvent(L"out of memory: a window action was given up"); });
}
