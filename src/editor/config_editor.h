#pragma once
// The parts of the configuration window shared by its source files: the row controls, the
// hand-over of a new table, the import and export, and the prompts it shows.

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/target.h"

constexpr int configRowCount = static_cast<int>(targetSlotCount);

// Control ids: a row's control has the id of its column plus the row number 0 to 19; the
// columns are 100 apart.
enum ConfigControlId : int {
    enableCheckBaseId = 1900,
    typeComboBaseId = enableCheckBaseId + 100,
    hostEditBaseId = typeComboBaseId + 100,
    portEditBaseId = hostEditBaseId + 100,
    intervalComboBaseId = portEditBaseId + 100,
    saveButtonId = 2401,
    closeButtonId,
    importButtonId,
    exportButtonId,
};

// The type list's items: 0 "icmp", 1 "tcp".
constexpr LRESULT typeListTcpIndex = 1;

// Row i edits slot i. Filled when the window is created; a control that could not be
// created is null.
using RowControls = std::array<HWND, configRowCount>;
extern RowControls rowEnableCheck;
extern RowControls rowTypeCombo;
extern RowControls rowHostEdit;
extern RowControls rowPortEdit;
extern RowControls rowIntervalCombo;

// The grid (config_grid_win.cpp).
void createConfigGrid(HWND window);
// The port field takes text only on a tcp row; leaving tcp empties it.
void updatePortField(int row);
// Shows a copy of the TargetTable in the rows; unsaved edits are dropped.
void fillConfigRows();

// The window (config_window_win.cpp).
// After placeAndStoreTable: logs " | config <action>" (or that it stayed in memory only) and
// tells the operator when config.xml was not written.
void announceTableChange(HWND window, std::wstring_view action, bool stored);

// The rows as 20 records, or nothing when a row is invalid: then the first invalid row has
// been reported in a message box owned by `owner` (config_rows_win.cpp).
std::optional<std::vector<Target>> readConfigRows(HWND owner);

// The file dialogs, import and export (config_files_win.cpp).
// The Save As dialog when `saving`, the Open dialog otherwise; nothing when cancelled.
std::optional<std::wstring> chooseConfigFile(HWND owner, bool saving);
void importConfigFile(HWND window);
void exportConfigRows(HWND window);

// Every message box and file dialog of the editor goes through these two pointers, so that a
// test can answer them; they start as MessageBoxW and chooseConfigFile.
using EditorMessageBox = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR title, UINT flags);
extern EditorMessageBox showEditorMessage;
using EditorFileChooser = std::optional<std::wstring> (*)(HWND owner, bool saving);
extern EditorFileChooser chooseEditorFile;
