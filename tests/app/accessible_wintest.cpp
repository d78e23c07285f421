// What a screen reader in another process (this program run again) reads and hears of results.
#include <oleacc.h>

#include <process.h>

#include <algorithm>

#include "support/wine_gui.h"

namespace {

constexpr wchar_t readerOutput[] = L"TARVEX_READER_OUTPUT";  // set: this process is the reader

// "role name|value|description" of a client object (child 0) or of one of its items.
std::wstring describe(IAccessible* object, LONG child) {
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    VARIANT role{};
    wchar_t text[64] = L"";
    if (object->get_accRole(id, &role) == S_OK) GetRoleTextW(role.lVal, text, 64);
    std::wstring line = text;
    for (auto part : {&IAccessible::get_accName, &IAccessible::get_accValue,
                      &IAccessible::get_accDescription}) {
        BSTR answer = nullptr;
        (object->*part)(id, &answer);
        line +=
            (part == &IAccessible::get_accName ? L" " : L"|") + std::wstring(answer ? answer : L"");
        SysFreeString(answer);
    }
    return line + L"\n";
}

// The client object of `window` and its children `first` to `last` (or its last child).
std::wstring readClient(HWND window, LONG first, LONG last) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    std::wstring text;
    LONG count = 0;
    object->get_accChildCount(&count);
    for (LONG child = first; child <= std::min(last, count); ++child)
        text += describe(object, child);
    object->Release();
    return text;
}

std::vector<std::wstring> heard;  // in any order: reading one change may take the next first

void CALLBACK hear(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    IAccessible* source = nullptr;
    VARIANT id{};
    if (AccessibleObjectFromEvent(window, object, child, &source, &id) != S_OK) return;
    heard.push_back(L"changed: " + describe(source, id.lVal));
    source->Release();
}

// The reader: reads the header, the view and row 3's host field, tells the test it listens,
// and writes down what it read and heard.
const bool isReader = [] {
    wchar_t output[MAX_PATH];
    if (!GetEnvironmentVariableW(readerOutput, output, MAX_PATH)) return false;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HWND main = FindWindowW(L"Tarvex_MainWnd", nullptr);
    std::wstring read =
        readClient(main, 1, 2) + readClient(GetDlgItem(main, monitorViewId), 0, 20) +
        readClient(GetDlgItem(FindWindowW(L"Tarvex_ConfigWnd", nullptr), hostEditBaseId + 2), 0, 0);
    SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, hear, 0, 0,
                    WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"TarvexReaderReady"));
    pumpUntil([] { return heard.size() >= 2; }, 20s);
    std::sort(heard.begin(), heard.end());
    for (const std::wstring& change : heard) read += change;
    writeBytes(output, narrow(read));
    ExitProcess(0);
}();

TEST(Accessible, ReaderInAnotherProcessReadsTheHeaderViewAndGridAndHearsAResult) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    removeDataFiles();
    const HWND window = startMainWindow();
    clickButton(window, serverButtonId);  // monitoring off: only the test changes the table
    std::vector<Target> table(targetSlotCount);
    table[0] = {.type = ProbeType::tcp, .host = L"127.0.0.1", .port = 8080};
    table[0].history.assign(150, 1);  // the newest 145 are shown, one of them failed
    table[0].history[4] = 0;
    table[0].history[5] = 0;
    table[1] = {.host = L"127.0.0.1", .history = {1, 0}};
    table[4] = {.type = ProbeType::tcp, .host = L"127.0.0.2", .port = 81};
    targetTable.lock().entries() = table;
    SendMessageW(window, WM_APP_REFRESH, 0, 0);  // as after every probe
    for (const int button : {monitorButtonId, configButtonId}) clickButton(window, button);
    const ScratchFolder folder;
    const std::wstring output = folder.file(L"read.txt");
    const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"TarvexReaderReady");
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    _wputenv((std::wstring(readerOutput) + L"=" + output).c_str());
    const auto reader = HANDLE(_wspawnl(_P_NOWAIT, program, program, nullptr));
    _wputenv((std::wstring(readerOutput) + L"=").c_str());
    EXPECT_TRUE(pumpUntil([&] { return WaitForSingleObject(ready, 0) == WAIT_OBJECT_0; }, 20s));
    targetTable.lock().entries()[1].history.push_back(1);  // row 2 answers: one target down
    PostMessageW(window, WM_APP_REFRESH, 0, 0);
    pumpUntil([&] { return WaitForSingleObject(reader, 0) == WAIT_OBJECT_0; }, 30s);
    const std::string read = readBytes(output);
    expectAsFile(std::wstring(read.begin(), read.end()), "app/files/screen-reader.txt");
    closeMainWindow(window);
}

}  // namespace
