// What a screen reader in another process reads of the windows and hears when a result comes
// in: the test runs its own program a second time as that reader.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>

#include "editor/config_window.h"
#include "model/target_table.h"
#include "support/wine_gui.h"
#include "ui/messages.h"

namespace {

constexpr wchar_t readerOutput[] = L"TARVEX_READER_OUTPUT";  // set: this process is the reader
constexpr wchar_t readerReady[] = L"TarvexReaderReady";

// "role name|value|description" of a client object (child 0) or of one of its items.
std::wstring describe(IAccessible* object, LONG child) {
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    VARIANT role{};
    wchar_t roleText[64] = L"";
    std::wstring text;
    if (object->get_accRole(id, &role) == S_OK) GetRoleTextW(role.lVal, roleText, 64);
    for (auto part : {&IAccessible::get_accName, &IAccessible::get_accValue,
                      &IAccessible::get_accDescription}) {
        BSTR answer = nullptr;
        (object->*part)(id, &answer);
        text += (text.empty() ? L"" : L"|") + std::wstring(answer ? answer : L"");
        SysFreeString(answer);
    }
    return roleText + (L" " + text) + L"\n";
}

// The client object of `window` and its children `first` to `last`.
std::wstring readClient(HWND window, LONG first, LONG last) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    if (!object) return L"nothing\n";
    std::wstring text;
    for (LONG child = first; child <= last; ++child) text += describe(object, child);
    object->Release();
    return text;
}

// The changes the reader heard, read when they were announced; a reader's cross-process calls
// may take the next event first.
std::vector<std::wstring> heard;

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
    const HWND grid = FindWindowW(L"Tarvex_ConfigWnd", nullptr);
    std::wstring read = readClient(main, 1, 2) + readClient(GetDlgItem(main, 1200), 0, 3) +
                        readClient(GetDlgItem(grid, 2102), 0, 0);
    DWORD program = 0;
    GetWindowThreadProcessId(main, &program);
    SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, hear, program, 0,
                    WINEVENT_OUTOFCONTEXT);
    SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, readerReady));
    pumpUntil([] { return heard.size() >= 2; }, 20s);
    std::sort(heard.begin(), heard.end());
    for (const std::wstring& change : heard) read += change;
    writeBytes(output, std::string(read.begin(), read.end()));
    ExitProcess(0);
}();

TEST(Accessible, ReaderInAnotherProcessReadsTheHeaderViewAndGridAndHearsAResult) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    removeDataFiles();
    const HWND window = startMainWindow();
    clickButton(window, 1001);  // monitoring off: only the test changes the table
    std::vector<Target> table(targetSlotCount);
    table[0] = {true, ProbeType::tcp, L"127.0.0.1", 8080, 10, {}, 0};
    table[0].history.assign(150, 1);  // the newest 145 are shown, one of them failed
    table[0].history[4] = 0;
    table[0].history[5] = 0;
    table[1] = {true, ProbeType::icmp, L"127.0.0.1", 0, 10, {1, 0}, 0};
    table[2] = {false, ProbeType::tcp, L"127.0.0.1", 9, 10, {}, 0};
    table[4] = {true, ProbeType::tcp, L"127.0.0.2", 81, 10, {}, 0};
    targetTable.lock().entries() = table;
    SendMessageW(window, WM_APP_REFRESH, 0, 0);  // as after every probe
    for (const int button : {1003, 1002}) clickButton(window, button);
    const ScratchFolder folder;
    const std::wstring output = folder.file(L"read.txt");
    const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, readerReady);
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION reader{};
    SetEnvironmentVariableW(readerOutput, output.c_str());
    ASSERT_TRUE(CreateProcessW(program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &start, &reader));
    SetEnvironmentVariableW(readerOutput, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return WaitForSingleObject(ready, 0) == WAIT_OBJECT_0; }, 20s));
    targetTable.lock().entries()[1].history.push_back(1);  // row 2 answers: one target down
    PostMessageW(window, WM_APP_REFRESH, 0, 0);
    pumpUntil([&] { return WaitForSingleObject(reader.hProcess, 0) == WAIT_OBJECT_0; }, 30s);
    EXPECT_EQ(readBytes(output),
              "static text Monitoring|stopped|\nstatic text Health|2 of 3 targets down|\n"
              "list Targets||\n"
              "list item 127.0.0.1 tcp:8080|up|144 of 145 answered\n"
              "list item 127.0.0.1 icmp|down|1 of 2 answered\n"
              "list item 127.0.0.2 tcp:81|not probed yet|0 of 0 answered\n"
              "text Row 3 host|127.0.0.1|\n"
              "changed: list item 127.0.0.1 icmp|up|2 of 3 answered\n"
              "changed: static text Health|1 of 3 targets down|\n");
    closeMainWindow(window);
}

}  // namespace
