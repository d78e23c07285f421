// The data folder in a state the program cannot write to: config.xml is a folder, or the
// data folder itself cannot be made because a file stands in its place. The program starts
// and monitors all the same: the lamp is green, the operator enters a loopback target in the
// configuration window, "Save" tells them that config.xml could not be written, and the new
// target is probed from memory; the log window shows what happened.
// (Making the folder read-only is no test here: Wine runs as root, who may write anyway.)

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/app_state.h"
#include "app/monitoring.h"
#include "editor/config_editor.h"
#include "faults/fault_support.h"
#include "model/data_folder.h"
#include "model/target_table.h"
#include "support/wine_gui.h"

namespace {

constexpr COLORREF green = RGB(0, 170, 0);
constexpr POINT lampCentre{23, 25};
constexpr POINT healthBarMiddle{416, 42};
constexpr wchar_t savedInMemoryOnly[] =
    L" | config saved in memory only: config.xml could not be written\r\n";

std::vector<std::wstring> prompts;

int WINAPI answerPrompt(HWND, LPCWSTR text, LPCWSTR title, UINT) {
    prompts.push_back(std::wstring(title) + L": " + text);
    return IDOK;
}

COLORREF pixel(HWND window, POINT at) { return pixelAt(window, at.x, at.y); }

class UnwritableData : public testing::Test {
protected:
    void SetUp() override {
        removeDataFiles();
        prompts.clear();
        showEditorMessage = answerPrompt;
    }

    // Starts the program, enters 127.0.0.1:<listening port> in row 1 of the configuration
    // window and saves. Answers the log window's text; the program is closed again.
    std::wstring saveALoopbackTargetAndWatchIt() {
        EXPECT_TRUE(startWinsock());
        const AcceptingPort open;
        HWND window = startMainWindow();
        pumpMessagesFor(200ms);
        EXPECT_TRUE(isRunning.load());
        EXPECT_EQ(pixel(window, lampCentre), green);
        clickButton(window, 1004);  // the log window, to see the entries as they come
        clickButton(window, 1002);  // the configuration window
        EXPECT_NE(configWindow, nullptr);

        SendMessageW(GetDlgItem(configWindow, enableCheckBaseId), BM_SETCHECK, BST_CHECKED, 0);
        HWND typeList = GetDlgItem(configWindow, typeComboBaseId);
        SendMessageW(typeList, CB_SETCURSEL, 1, 0);  // tcp
        SendMessageW(configWindow, WM_COMMAND, MAKEWPARAM(typeComboBaseId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(typeList));
        SetWindowTextW(GetDlgItem(configWindow, hostEditBaseId), L"127.0.0.1");
        SetWindowTextW(GetDlgItem(configWindow, portEditBaseId),
                       std::to_wstring(open.port()).c_str());
        clickButton(configWindow, saveButtonId);
        EXPECT_EQ(prompts.size(), 1u);
        if (!prompts.empty()) {
            EXPECT_EQ(prompts[0].rfind(L"Config: \"config.xml\" could not be written:\n" +
                                           configFilePath(),
                                       0),
                      0u)
                << testing::PrintToString(prompts[0]);
        }

        // The saved target lives in memory only and is probed from there.
        const auto firstResult = [] { return !targetTable.snapshot()[0].history.empty(); };
        EXPECT_TRUE(pumpUntil(firstResult, 5s));
        const Target saved = targetTable.snapshot()[0];
        EXPECT_EQ(saved.host, L"127.0.0.1");
        EXPECT_EQ(saved.port, open.port());
        EXPECT_EQ(saved.history, std::deque<std::uint8_t>{1});

        const std::wstring shown = windowText(logEdit);
        clickButton(configWindow, closeButtonId);
        SendMessageW(logWindow, WM_CLOSE, 0, 0);  // hides it
        pumpMessagesFor(200ms);
        EXPECT_EQ(pixel(window, lampCentre), green);
        EXPECT_EQ(pixel(window, healthBarMiddle), green);  // the new target answered
        closeMainWindow(window);
        return shown;
    }
};

TEST_F(UnwritableData, ConfigFileThatIsAFolder) {
    const std::filesystem::path config(configFilePath());
    ASSERT_TRUE(std::filesystem::create_directory(config));

    const std::wstring shown = saveALoopbackTargetAndWatchIt();
    // Entries from before the log window opened come from the file, later ones as they come.
    EXPECT_NE(shown.find(L" | config.xml could not be read; monitoring the default table"),
              std::wstring::npos);
    EXPECT_NE(shown.find(L" | monitoring auto-start\r\n"), std::wstring::npos);
    EXPECT_NE(shown.find(savedInMemoryOnly), std::wstring::npos);
    const std::vector<std::wstring> events = logEvents();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2] + L"\r\n", savedInMemoryOnly);
    EXPECT_TRUE(std::filesystem::is_directory(config));
    EXPECT_TRUE(std::filesystem::is_empty(config));
    std::filesystem::remove(config);
}

TEST_F(UnwritableData, DataFolderThatCannotBeMade) {
    std::wstring folder = dataFolderPath();
    folder.pop_back();  // the trailing backslash
    std::filesystem::remove_all(folder);
    std::ofstream(std::filesystem::path(folder)) << "a file where the data folder belongs";

    const std::wstring shown = saveALoopbackTargetAndWatchIt();
    // Nothing can reach a file; the log window shows the entries made while it is open.
    EXPECT_NE(shown.find(savedInMemoryOnly), std::wstring::npos) << testing::PrintToString(shown);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder));
    EXPECT_EQ(fileBytes(folder), "a file where the data folder belongs");
    std::filesystem::remove(folder);
    EXPECT_TRUE(std::filesystem::is_directory(dataFolderPath()));
}

}  // namespace
