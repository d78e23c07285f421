#pragma once
// The program's start, as its entry runs it; the tests and benchmarks that start the real
// main window run the same steps.

#include <winsock2.h>
#include <windows.h>

enum class StartResult { started, noWinsock, noWindow };

// Starts Winsock 2.2, installs the app hooks (before the window: its creation already logs
// and starts the worker), registers the main window's class and creates the main window into
// `window`. When Winsock cannot start, nothing else is done. When the window cannot be
// created, the notification-area icon and the worker its creation started are stopped and
// joined (the process ends at once when the worker does not stop in time) and Winsock is
// cleaned up.
StartResult startProgram(HINSTANCE instance, HWND& window);
