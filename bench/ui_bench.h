#pragma once
// What the monitor view and log window benchmarks share: the user-interface font and an
// owner window in place of the main window, messages handled between timed steps, and the
// figures printed in the engine benchmarks' format.

#include <windows.h>

#include "bench_support.h"
#include "ui/dpi.h"
#include "ui/ui_state.h"

// The UI font at the screen's DPI, as the main window makes uiFont.
inline HFONT createBenchUiFont() { return uiFontAt(screenDpi()); }

// Sets mainWindow to a plain window (no worker, nothing probed) and uiFont to the font.
inline void standInForTheMainWindow() {
    mainWindow = CreateWindowExW(0, L"STATIC", L"Tarvex bench", WS_OVERLAPPED, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    uiFont = createBenchUiFont();
}

inline void handlePendingMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Milliseconds that `step` takes.
template <typename Step>
double millisOf(Step&& step) {
    const std::int64_t start = steadyNowNanos();
    step();
    return nanosToMillis(steadyNowNanos() - start);
}
