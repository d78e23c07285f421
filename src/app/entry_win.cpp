#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/program_start.h"
#include "ui/dialog_keys.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // The file dialogs host shell extensions, which expect COM on the thread that shows them,
    // and screen readers reach the windows' accessible objects through COM in this thread's
    // apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    HWND window = nullptr;
    const StartResult started = startProgram(instance, window);
    if (started != StartResult::started) {
        // Without a window the process would wait for messages forever, unseen. Without a
        // display the message box fails too; the exit code still tells.
        MessageBoxW(nullptr,
                    started == StartResult::noWinsock ? L"WSAStartup failed."
                                                      : L"The main window could not be created.",
                    L"Error", MB_OK | MB_ICONERROR);
        if (SUCCEEDED(com)) CoUninitialize();
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
