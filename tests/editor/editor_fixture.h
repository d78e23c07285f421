#pragma once
// The configuration window under test: opened over a stand-in main window of the test's own
// (whose queue shows what was posted to it), with the table set by the test, the log lines
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

struct Prompt {
    HWND owner;
    std::wstring text;
    std::wstring title;
    UINT flags;
};

inline std::vector<Prompt> prompts;
inline int promptAnswer = IDOK;
inline std::vector<bool> fileDialogs;  // one entry per dialog: true for Save As
inline std::optional<std::wstring> fileAnswer;
inline std::vector<std::wstring> loggedLines;

inline int WINAPI answerPrompt(HWND owner, LPCWSTR text, LPCWSTR title, UINT flags) {
    prompts.push_back({owner, text, title, flags});
    return promptAnswer;
}

inline std::optional<std::wstring> answerFileDialog(HWND, bool saving) {
    fileDialogs.push_back(saving);
    return fileAnswer;
}

inline Target makeTarget(bool enabled, ProbeType type, const wchar_t* host, std::uint16_t port,
                         std::int32_t interval) {
    Target target;
    target.enabled = enabled;
    target.type = type;
    target.host = host;
    target.port = port;
    target.interval = interval;
    return target;
}

class EditorTest : public testing::Test {
protected:
    void SetUp() override {
        removeDataFiles();
        prompts.clear();
        fileDialogs.clear();
        loggedLines.clear();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"EditorTest_Main";
        RegisterClassW(&windowClass);
        mainWindow = CreateWindowExW(0, L"EditorTest_Main", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                     100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        uiFont =
            CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Segoe UI");
        showEditorMessage = answerPrompt;
        chooseEditorFile = answerFileDialog;
        setLogLineSink([](const std::wstring& line) { loggedLines.push_back(line); });
        std::vector<Target> table(targetSlotCount);
        table[0] = makeTarget(false, ProbeType::tcp, L"127.0.0.1", 0, 7);
        table[1] = makeTarget(false, ProbeType::icmp, L"localhost", 80, 30);
        table[2] = makeTarget(true, ProbeType::tcp, L"127.0.0.2", 8080, 120);
        targetTable.lock().replaceAll(table, 1);
        openConfigWindow();
        ASSERT_NE(configWindow, nullptr);
    }

    void TearDown() override {
        if (configWindow) DestroyWindow(configWindow);
        DestroyWindow(mainWindow);
        setLogLineSink({});
        removeDataFiles();
    }

    static HWND control(int id) { return GetDlgItem(configWindow, id); }
    static std::wstring text(int id) { return windowText(control(id)); }
    static void click(int id) { SendMessageW(control(id), BM_CLICK, 0, 0); }

    // As the operator picks a type: the list's selection, then its notification.
    static void selectType(int row, bool tcp) {
        HWND list = control(typeComboBaseId + row);
        SendMessageW(list, CB_SETCURSEL, tcp ? 1 : 0, 0);
        SendMessageW(configWindow, WM_COMMAND, MAKEWPARAM(typeComboBaseId + row, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }

    static void editRow(int row, bool enabled, bool tcp, const wchar_t* host,
                        const wchar_t* port = L"") {
        SendMessageW(control(enableCheckBaseId + row), BM_SETCHECK,
                     enabled ? BST_CHECKED : BST_UNCHECKED, 0);
        selectType(row, tcp);
        SetWindowTextW(control(hostEditBaseId + row), host);
        SetWindowTextW(control(portEditBaseId + row), port);
    }

    // Takes the WM_APP_REFRESH messages posted to the stand-in main window.
    static int takeRefreshes() {
        int count = 0;
        MSG message{};
        while (PeekMessageW(&message, mainWindow, WM_APP_REFRESH, WM_APP_REFRESH, PM_REMOVE)) {
            ++count;
        }
        return count;
    }

    // The bytes writeConfigFile gives for `targets`.
    static std::string documentBytes(const std::vector<Target>& targets) {
        ScratchFolder folder;
        const std::wstring path = folder.file(L"expected.xml");
        EXPECT_TRUE(writeConfigFile(path, targets));
        return readBytes(path);
    }

    // config.xml made unwritable: a folder stands in its place.
    static void blockConfigFile() {
        std::filesystem::create_directories(std::filesystem::path(configFilePath()));
    }
};
