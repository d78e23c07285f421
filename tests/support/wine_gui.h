#pragma once
// Helpers for window tests under Wine: the running main window, message pumping, pixels of
// what is on screen, and the files of the data folder. Each test runs in its own process, so
// a test may start the main window once and close it once.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

// Deletes config.xml and monitor.log from the data folder (a folder named config.xml too),
// so that a test starts from a clean data folder.
void removeDataFiles();

// Starts Windows Sockets, installs the program's hooks, then registers, creates, shows and
// paints the main window, as the process entry does.
HWND startMainWindow();
// Destroys the main window (joining the worker) and handles messages up to WM_QUIT.
void closeMainWindow(HWND window);

// Handles this thread's messages for `duration`.
void pumpMessagesFor(std::chrono::milliseconds duration);
// Handles messages until `done` answers true or `limit` has passed; the last answer.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Sends BM_CLICK to the child `id` of `window` and handles what it caused.
void clickButton(HWND window, int id);

std::wstring windowText(HWND window);
SIZE outerSize(HWND window);
// The top-level windows of `className` that this process owns.
int countOwnWindows(const wchar_t* className);

// The colour on screen at client point (x, y) of `window` (a child's pixels included); works
// for another process's window too. Let an own window repaint first.
COLORREF pixelAt(HWND window, int x, int y);

// The raw bytes of a file; empty when it cannot be read.
std::string fileBytes(const std::wstring& path);
// monitor.log's entries without time stamps (the text from " | " on), oldest first.
std::vector<std::wstring> logEvents();
