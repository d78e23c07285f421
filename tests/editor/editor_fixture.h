#pragma once
// The configuration window under test: opened over a stand-in main window of the test's own
// (whose queue shows what was posted to it), with the table set by the test, the log entries
// caught, and every message box and file dialog answered by the test.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/app_messages.h"
#include "app/app_state.h"
#include "config/config_file.h"
#include "editor/config_editor.h"
#include "editor/config_window.h"
#include "log/event_log.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"
#include "model/target_table.h"
#include "model/text_file.h"
#include "support/wine_gui.h"

inline std::vector<std::wstring> prompts;  // "title|flags|text" of each message box
inline int promptAnswer = IDOK;
inline std::vector<bool> fileDialogs;  // one entry per dialog: true for Save As
inline std::optional<std::wstring> fileAnswer;
inline std::vector<std::wstring> loggedEvents;  // without their 19-character time stamps

inline std::wstring promptText(const wchar_t* title, UINT flags, const std::wstring& text) {
    return title + (L"|" + std::to_wstring(flags) + L"|") + text;
}

// "on tcp 127.0.0.1:80/10": what a record holds of a row.
inline std::wstring describe(const Target& target) {
    return (target.enabled ? L"on " : L"off ") + std::wstring(probeTypeText(target.type)) + L" " +
           target.host + L":" + std::to_wstring(target.port) + L"/" +
           std::to_wstring(target.interval);
}

// Every target without results and due at one common, real time.
inline bool allResetTogether(const std::vector<Target>& table) {
    for (const Target& target : table) {
        if (!target.history.empty() || target.nextDue != table[0].nextDue) return false;
    }
    return table.size() == targetSlotCount && table[0].nextDue > 5;
}

class EditorTest : public testing::Test {
protected:
    void SetUp() override {
        removeDataFiles();
        mainWindow = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPED, 0, 0, 200, 100, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
        uiFont =
            CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Segoe UI");
        showEditorMessage = [](HWND owner, LPCWSTR text, LPCWSTR title, UINT flags) -> int {
            EXPECT_EQ(owner, configWindow);
            prompts.push_back(promptText(title, flags, text));
            return promptAnswer;
        };
        chooseEditorFile = [](HWND, bool saving) {
            fileDialogs.push_back(saving);
            return fileAnswer;
        };
        setLogLineSink([](const std::wstring& line) { loggedEvents.push_back(line.substr(19)); });
        std::vector<Target> table(targetSlotCount);
        table[0] = {false, ProbeType::tcp, L"127.0.0.1", 0, 7, {}, 0};
        table[1] = {false, ProbeType::icmp, L"localhost", 80, 30, {}, 0};
        table[2] = {true, ProbeType::tcp, L"127.0.0.2", 8080, 120, {}, 0};
        targetTable.lock().replaceAll(table, 1);
        openConfigWindow();
        ASSERT_NE(configWindow, nullptr);
    }
    void TearDown() override { removeDataFiles(); }

    static HWND control(int id) { return GetDlgItem(configWindow, id); }
    static std::wstring text(int id) { return windowText(control(id)); }
    static void click(int id) { SendMessageW(control(id), BM_CLICK, 0, 0); }
    static std::wstring slot(std::size_t index) { return describe(targetTable.snapshot()[index]); }

    // "on tcp 127.0.0.1 [80] 10": check, type, host, port field ("[text]" when it takes
    // input, "-" and its text when not) and interval, as the operator sees a row.
    static std::wstring row(int index) {
        const int port = portEditBaseId + index;
        return (SendMessageW(control(enableCheckBaseId + index), BM_GETCHECK, 0, 0) ? L"on "
                                                                                    : L"off ") +
               text(typeComboBaseId + index) + L" " + text(hostEditBaseId + index) + L" " +
               (IsWindowEnabled(control(port)) ? L"[" + text(port) + L"]" : L"-" + text(port)) +
               L" " + text(intervalComboBaseId + index);
    }

    // As the operator picks a type: the list's selection, then its notification.
    static void selectType(int index, bool tcp) {
        SendMessageW(control(typeComboBaseId + index), CB_SETCURSEL, tcp, 0);
        SendMessageW(configWindow, WM_COMMAND, MAKEWPARAM(typeComboBaseId + index, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control(typeComboBaseId + index)));
    }

    static void editRow(int index, bool on, bool tcp, const wchar_t* host, const wchar_t* port) {
        SendMessageW(control(enableCheckBaseId + index), BM_SETCHECK, on, 0);
        selectType(index, tcp);
        SetWindowTextW(control(hostEditBaseId + index), host);
        SetWindowTextW(control(portEditBaseId + index), port);
    }

    // Takes the WM_APP_REFRESH messages posted to the stand-in main window.
    static int takeRefreshes() {
        int count = 0;
        MSG message{};
        while (PeekMessageW(&message, mainWindow, WM_APP_REFRESH, WM_APP_REFRESH, PM_REMOVE))
            ++count;
        return count;
    }
};
