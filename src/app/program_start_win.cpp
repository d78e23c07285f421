#include "app/program_start.h"

#include "app/alerts.h"
#include "app/app_wiring.h"
#include "app/main_window.h"
#include "app/monitoring.h"

StartResult startProgram(HINSTANCE instance, HWND& window) {
    WSADATA sockets{};
    if (WSAStartup(MAKEWORD(2, 2), &sockets) != 0) return StartResult::noWinsock;
    installAppHooks();
    registerMainWindowClass();
    window = createMainWindow(instance);
    if (window) return StartResult::started;
    // WM_CREATE may have run without a WM_DESTROY to follow: what it started is stopped here.
    // A joinable worker or shell thread would end the process with std::terminate on the way
    // out.
    stopAlerts(nullptr);
    if (!shutdownMonitoring()) TerminateProcess(GetCurrentProcess(), 1);
    WSACleanup();
    return StartResult::noWindow;
}
