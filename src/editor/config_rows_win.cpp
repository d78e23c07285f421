#include <cstddef>

#include "editor/config_editor.h"
#include "editor/row_rules.h"

namespace {

// GetWindowTextW counts the terminating null in its limit, so a buffer of N characters read
// with the limit N - 1 takes at most N - 2 characters.
template <std::size_t size>
std::wstring controlText(HWND control) {
    wchar_t buffer[size] = {};
    GetWindowTextW(control, buffer, static_cast<int>(size - 1));
    return buffer;
}

RowTexts rowTexts(int row) {
    RowTexts texts;
    texts.enabled = SendMessageW(rowEnableCheck[row], BM_GETCHECK, 0, 0) == BST_CHECKED;
    texts.tcp = SendMessageW(rowTypeCombo[row], CB_GETCURSEL, 0, 0) == typeListTcpIndex;
    texts.host = controlText<256>(rowHostEdit[row]);
    texts.port = controlText<32>(rowPortEdit[row]);
    texts.interval = controlText<32>(rowIntervalCombo[row]);
    return texts;
}

}  // namespace

std::optional<std::vector<Target>> readConfigRows(HWND owner) {
    std::vector<Target> list(targetSlotCount);
    for (int row = 0; row < configRowCount; ++row) {
        RowReading reading = readRow(rowTexts(row));
        if (reading.problem != RowProblem::none) {
            const std::wstring text = rowProblemText(row + 1, reading.problem);
            showEditorMessage(owner, text.c_str(), L"Config validation", MB_OK | MB_ICONWARNING);
            return std::nullopt;
        }
        list[static_cast<std::size_t>(row)] = std::move(reading.target);
    }
    return list;
}
