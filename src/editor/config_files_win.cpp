// commdlg.h builds on the types of <windows.h>, which must come first.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include "config/config_file.h"
#include "config/config_store.h"
#include "editor/config_editor.h"
#include "editor/file_extension.h"
#include "model/text_file.h"

EditorFileChooser chooseEditorFile = chooseConfigFile;

namespace {

constexpr DWORD fileBufferLength = MAX_PATH;

void showConfigError(HWND window, const wchar_t* text) {
    showEditorMessage(window, text, L"Config", MB_OK | MB_ICONERROR);
}

// The Save As dialog asked about the name as typed; the name with ".xml" appended is a
// different file, so the operator is asked before it is replaced.
bool mayReplace(HWND window, const std::wstring& path) {
    const std::wstring question = path + L" already exists.\nDo you want to replace it?";
    return showEditorMessage(window, question.c_str(), L"Config",
                             MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

}  // namespace

std::optional<std::wstring> chooseConfigFile(HWND owner, bool saving) {
    wchar_t file[fileBufferLength] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    // Pairs of description and pattern; the literal's own null ends the list.
    dialog.lpstrFilter = L"XML Files (*.xml)\0*.xml\0All Files (*.*)\0*.*\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = fileBufferLength;
    // OFN_NOCHANGEDIR: the process's current folder would otherwise stay in the folder chosen,
    // which Windows then keeps in use. The read-only box means nothing here.
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                   (saving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = saving ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return std::nullopt;
    return std::wstring(file);
}

void exportConfigRows(HWND window) {
    // The rows as edited, not the table: an export needs no Save and takes no lock.
    const auto rows = readConfigRows(window);
    if (!rows) return;
    const auto chosen = chooseEditorFile(window, true);
    if (!chosen) return;
    const std::wstring path = exportFileName(*chosen);
    if (path != *chosen && pathExists(path) && !mayReplace(window, path)) return;
    if (!writeConfigFile(path, *rows)) showConfigError(window, L"Export failed.");
}

void importConfigFile(HWND window) {
    const auto chosen = chooseEditorFile(window, false);
    if (!chosen) return;
    std::vector<Target> list;
    // A file without one complete target block is not a configuration: taking it would
    // silently empty every slot.
    if (readConfigFileStatus(*chosen, list) != ConfigReadStatus::read) {
        showConfigError(window, L"Import failed (invalid XML).");
        return;
    }
    // Imported records are taken as read, without row validation.
    const bool stored = placeAndStoreTable(list);
    fillConfigRows();
    announceTableChange(window, L"imported", stored);
}
