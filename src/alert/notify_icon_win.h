#pragma once
// The notification-area icon: a lamp in the tray state's colour with its tip, and the balloons.
// Every call to the shell is made on a thread of its own, fed by a queue, so that a shell that
// hangs or fails holds up neither the window nor the probes: of the icon's states only the
// newest waiting one is shown, the balloons in the order given.

#include <windows.h>

#include <chrono>

#include "alert/alert_balloons.h"
#include "alert/tray_state.h"

// How long the main window's destruction waits for the shell to take the icon away.
constexpr std::chrono::milliseconds notifyIconStopLimit{1000};
// When the shell refuses the icon (it is not up yet at logon), it is offered again this often,
// for up to retryLimit.
constexpr std::chrono::seconds notifyIconRetryEvery{2};
constexpr std::chrono::seconds notifyIconRetryLimit{60};

// Starts the shell thread, which adds the icon of `window` (id 1, callback WM_APP_NOTIFYICON)
// showing `state`. Without a thread there is no icon, and the calls below do nothing.
void startNotifyIcon(HWND window, const TrayState& state);
void showTrayState(const TrayState& state);
void showBalloon(const Balloon& balloon);
// The shell started again (the registered "TaskbarCreated" message): the icon is added anew.
void addNotifyIconAgain();
// Takes the icon away and ends the thread, waiting at most notifyIconStopLimit; a thread still
// inside a call to a hung shell is left to end with the process.
void stopNotifyIcon();

// The message a new shell sends every top-level window.
UINT taskbarCreatedMessage();
