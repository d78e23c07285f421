#pragma once
// Connects the engine, the config store and the event log to the main window. Install before the
// main window is created, so that nothing the worker or the log does can miss it.

// The worker gets the real probes and posts WM_APP_REFRESH after each of them (unless one is
// still pending), and WM_APP_OUTAGE with a copy of each outage notice; every log entry is
// posted to the main window as WM_APP_LOGLINE. They post nothing while mainWindow is still null. A
// table put in place by the config store posts WM_APP_REFRESH too.
void installAppHooks();
