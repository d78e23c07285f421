#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/app_wiring.h"
#include "app/main_window.h"
#include "ui/dialog_keys.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WSADATA sockets{};
    if (WSAStartup(MAKEWORD(2, 2), &sockets) != 0) {
        MessageBoxW(nullptr, L"WSAStartup failed.", L"Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    // The file dialogs host shell extensions, which expect COM on the thread that shows them,
    // and screen readers reach the windows' accessible objects through COM in this thread's
    // apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    // Before the window exists: its creation already logs and starts the worker.
    installAppHooks();
    registerMainWindowClass();
    HWND window = createMainWindow(instance);
    if (!window) {
        // Without it the process would wait for messages forever, unseen.
        MessageBoxW(nullptr, L"The main window could not be created.", L"Error",
                    MB_OK | MB_ICONERROR);
        if (SUCCEEDED(com)) CoUninitialize();
        WSACleanup();
        return 1;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatchUiMessage(message);

    if (SUCCEEDED(com)) CoUninitialize();
    WSACleanup();
    return 0;
}
