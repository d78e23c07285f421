#include "editor/editor_fixture.h"

// The system's own Open and Save As dialogs, filled in and confirmed as an operator would.

namespace {

using ConfigDialogsTest = EditorTest;

std::wstring typedName;
std::wstring filterShown;
int dialogTicks = 0;

HWND openFileDialog() {
    HWND dialog = nullptr;
    do {
        dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr);
    } while (dialog && GetWindow(dialog, GW_OWNER) != configWindow);
    return dialog;
}

// The file name box: a combo box (0x47C) with an edit inside, or a plain edit (0x480).
HWND fileNameField(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 0x47C)) {
        HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
        return edit ? edit : combo;
    }
    return GetDlgItem(dialog, 0x480);
}

// Runs inside the dialog's own message loop: types the name and presses OK; a dialog still
// open a few seconds later is cancelled so that the test fails instead of hanging.
void CALLBACK answerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = openFileDialog();
    if (!dialog) return;
    if (++dialogTicks > 50) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        KillTimer(nullptr, timer);
    } else if (dialogTicks == 1) {
        filterShown = windowText(GetDlgItem(dialog, 0x470));  // the file type list
        SetWindowTextW(fileNameField(dialog), typedName.c_str());
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    }
}

void pressWithDialog(int button, const std::wstring& name) {
    typedName = name;
    filterShown.clear();
    dialogTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, answerDialog);
    SendMessageW(GetDlgItem(configWindow, button), BM_CLICK, 0, 0);
    KillTimer(nullptr, timer);
}

}  // namespace

TEST_F(ConfigDialogsTest, ExportsAndImportsThroughTheSystemDialogs) {
    chooseEditorFile = chooseConfigFile;
    const ScratchFolder folder;
    SetWindowTextW(control(hostEditBaseId + 6), L"127.0.0.7");

    pressWithDialog(exportButtonId, folder.file(L"through-dialog"));
    EXPECT_EQ(filterShown, L"XML Files (*.xml)");
    const std::wstring exported = folder.file(L"through-dialog.xml");
    ASSERT_TRUE(pathExists(exported));
    std::vector<Target> targets;
    ASSERT_EQ(readConfigFileStatus(exported, targets), ConfigReadStatus::read);
    EXPECT_EQ(targets[6].host, L"127.0.0.7");

    pressWithDialog(importButtonId, exported);
    EXPECT_EQ(filterShown, L"XML Files (*.xml)");
    EXPECT_EQ(slot(6), L"on icmp 127.0.0.7:0/10");
    EXPECT_EQ(readBytes(configFilePath()), readBytes(exported));
    EXPECT_TRUE(prompts.empty());
}
