#pragma once
// Helpers of the window tests under Wine; sessions: an operator's steps in a file, a line an
// action or a look, a look followed by what it must show behind "> ", "step TEXT" a heading.

#include <winsock2.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program_start.h"
#include "editor/config_editor.h"
#include "editor/config_window.h"
#include "log/log_window.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"
#include "model/target_table.h"
#include "ui/messages.h"
#include "ui/ui_state.h"

using namespace std::chrono_literals;

inline void removeDataFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(configFilePath()), ignored);
    std::filesystem::remove(std::filesystem::path(logFilePath()), ignored);
}

// Winsock, the program's hooks and the main window, as the process entry starts them.
inline HWND startMainWindow() {
    HWND window = nullptr;
    startProgram(GetModuleHandleW(nullptr), window);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

inline HANDLE startProcess(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    CreateProcessW(nullptr, commandLine.data(), 0, 0, FALSE, 0, 0, 0, &startup, &started);
    return started.hProcess;
}

// This test program again, running the tests `filter` names, with `variable` set to `value`.
inline HANDLE startTestsAgain(const wchar_t* filter, const wchar_t* variable,
                              const std::wstring& value) {
    SetEnvironmentVariableW(variable, value.c_str());
    const HANDLE started =
        startProcess(GetCommandLineW() + (L" --gtest_filter=" + std::wstring(filter)));
    SetEnvironmentVariableW(variable, nullptr);
    return started;
}

inline void closeMainWindow(HWND window) {
    DestroyWindow(window);
    for (MSG message{}; GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
}

// Handles messages until `done` answers true or `limit` has passed; the last answer.
inline bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (MSG message{};; MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
    }
}

inline std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

inline std::wstring sizeText(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    return std::to_wstring(outer.right - outer.left) + L"x" +
           std::to_wstring(outer.bottom - outer.top);
}

// A child's "x,y,width,height" in its parent's client area; "hidden" while it is hidden.
inline std::wstring placeOf(HWND child) {
    if (!IsWindowVisible(child)) return L"hidden";
    RECT box{};
    GetWindowRect(child, &box);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&box), 2);
    return std::to_wstring(box.left) + L"," + std::to_wstring(box.top) + L"," +
           std::to_wstring(box.right - box.left) + L"," + std::to_wstring(box.bottom - box.top);
}

inline std::wstring fontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(HFONT(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::to_wstring(font.lfHeight);
}

// The caption, size and whether hidden, then each child: "id class style|text|place|font
// height", a button's check, a list's items; children side by side share a line, " ; " between
// them. Given `ids`, only those children.
inline std::wstring windowDump(HWND window, const std::vector<int>& ids = {}) {
    std::wstring seen = ids.empty() ? windowText(window) + L" " + sizeText(window) +
                                          (IsWindowVisible(window) ? L"\n" : L" hidden\n")
                                    : L"";
    RECT last{};
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!ids.empty() && std::ranges::find(ids, GetDlgCtrlID(c)) == ids.end()) continue;
        RECT box{};
        GetWindowRect(c, &box);
        const bool beside = IsWindowVisible(c) && box.top < last.bottom && box.bottom > last.top &&
                            box.left >= last.right;
        if (beside) seen.replace(seen.size() - 1, 1, L" ; ");
        last = IsWindowVisible(c) ? box : RECT{};
        wchar_t name[32] = {}, style[16] = {}, item[32] = {};
        GetClassNameW(c, name, 32);
        const LONG bits = GetWindowLongW(c, GWL_STYLE);
        swprintf(style, 16, L"%08lX", bits);
        const bool log = lstrcmpiW(name, L"Edit") == 0 && (bits & ES_MULTILINE);
        seen += std::to_wstring(GetDlgCtrlID(c)) + L" " + name + L" " + style + L"|" +
                (log ? L"" : windowText(c)) + L"|" + placeOf(c) + L"|" + fontHeight(c);
        if (lstrcmpiW(name, L"Button") == 0)
            seen += L"|" + std::to_wstring(SendMessageW(c, BM_GETCHECK, 0, 0));
        for (int i = 0; SendMessageW(c, CB_GETLBTEXT, i++, LPARAM(item)) > 0;)
            seen += L"|" + std::wstring(item);
        seen += L"\n";
    }
    return seen;
}

using Names = std::vector<std::pair<std::wstring, std::wstring>>;
inline std::wstring replaced(std::wstring text, const Names& names) {
    for (const auto& [from, to] : names)
        for (std::size_t at = 0; (at = text.find(from, at)) != std::wstring::npos; at += to.size())
            text.replace(at, from.size(), to);
    return text;
}

// What changes from line `a` to line `b`: each number's step, "apart" when anything else differs.
inline std::wstring stepBetween(const std::wstring& a, const std::wstring& b) {
    std::wstring step;
    std::size_t i = 0, j = 0;
    for (std::size_t ni = 0, nj = 0; i < a.size() && j < b.size(); i += ni, j += nj) {
        ni = nj = 1;
        if (iswdigit(a[i]) && iswdigit(b[j]))
            step +=
                std::to_wstring(std::stoll(b.substr(j), &nj) - std::stoll(a.substr(i), &ni)) + L" ";
        else if (a[i] != b[j])
            return L"apart";
    }
    return i == a.size() && j == b.size() ? step : L"apart";
}

// Runs of lines that each differ from the one before by the same steps of their numbers (rows
// of a grid) kept as the first, "... N more" and the last: nothing is lost.
inline std::wstring folded(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wistringstream in(text);
    for (std::wstring line; std::getline(in, line);) lines.push_back(line);
    std::wstring kept;
    for (std::size_t i = 0, more = 0; i < lines.size(); ++i) {
        const std::wstring step = i > 0 ? stepBetween(lines[i - 1], lines[i]) : L"apart";
        if (step != L"apart" && i + 1 < lines.size() &&
            stepBetween(lines[i], lines[i + 1]) == step) {
            ++more;
            continue;
        }
        if (more) kept += L"... " + std::to_wstring(std::exchange(more, 0)) + L" more\n";
        kept += lines[i] + L"\n";
    }
    return text.ends_with(L"\n") || text.empty() ? kept : kept.substr(0, kept.size() - 1);
}

// Text as the files under tests/ write it, folded: LF line ends, the data folder where Windows puts
// it (Tarvex\ in the local application data) "{folder}", this build's version "{version}".
inline std::wstring asInFiles(const std::wstring& text) {
    PWSTR local = nullptr;
    SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local);
    const std::wstring folder = std::wstring(local) + L"\\Tarvex\\";
    CoTaskMemFree(local);
    return folded(replaced(
        text, {{L"\r\n", L"\n"}, {folder, L"{folder}"}, {TARVEX_VERSION_TEXT, L"{version}"}}));
}

// Bytes as the characters U+0000 to U+00FF, and back.
inline std::wstring wide(const std::string& bytes) { return {bytes.begin(), bytes.end()}; }
inline std::string narrow(const std::wstring& text) { return {text.begin(), text.end()}; }

inline void expectAsFile(const std::wstring& seen, const std::string& name) {
    EXPECT_EQ(asInFiles(seen), wide(testFile(name))) << name;
}

// Read from the screen: a window's own DC leaves out the children it clips.
inline COLORREF pixelAt(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    static const HDC screen = GetDC(nullptr);  // kept for the test's whole process
    return GetPixel(screen, point.x, point.y);
}

// Log text's entries without time stamps (each line from its first " | " on), oldest first.
inline std::vector<std::wstring> logEvents(const std::wstring& text) {
    std::vector<std::wstring> events;
    for (std::size_t at = 0, end = 0; (at = text.find(L" | ", end)) != std::wstring::npos;)
        events.push_back(text.substr(at, (end = text.find_first_of(L"\r\n", at)) - at));
    return events;
}

inline std::vector<std::wstring> logEvents() { return logEvents(wide(readBytes(logFilePath()))); }

inline std::wstring eventLines(const std::vector<std::wstring>& events, const wchar_t* where) {
    std::wstring lines;
    for (const std::wstring& event : events) lines += where + event + L"\n";
    return lines;
}

// A session's verbs by name. A look answers what the lines "> ..." under it must show (it
// may wait for `want`); an action shows nothing, so nothing may be wanted of it.
using Verb = std::function<std::wstring(std::wistream& words, const std::wstring& want)>;
using Verbs = std::map<std::wstring, Verb>;

inline std::wstring rest(std::wistream& words) {
    std::wstring text;
    std::getline(words >> std::ws, text);
    return text;
}

inline std::wstring word(std::wistream& words) {
    std::wstring word;
    words >> word;
    return word;
}

// A look that waits (5 s at most) until what `read` makes of the line answers what is wanted.
inline Verb waited(const std::function<std::function<std::wstring()>(std::wistream&)>& read) {
    return [=](std::wistream& words, const std::wstring& want) {
        const std::function<std::wstring()> seen = read(words);
        pumpUntil([&] { return seen() == want; }, 5s);
        return seen();
    };
}

inline Verb action(const std::function<void(std::wistream&)>& run) {
    return [=](std::wistream& words, const std::wstring&) {
        run(words);
        return std::wstring();
    };
}
inline Verb show(const std::function<std::wstring(std::wistream&)>& run) {
    return [=](std::wistream& words, const std::wstring&) { return run(words); };
}

// A mistake in a session line (a window or button it names that is not there): the line fails.
[[noreturn]] inline void sessionMistake(const std::wstring& what) {
    throw std::invalid_argument(narrow(what));
}

// Runs tests/FILE; `names` pairs a name the file writes ("<folder>") with what it stands for.
// A missing or empty file, an unknown verb, a mistake and lines "> ..." that no look shows
// each fail, naming the file and line.
inline void runSession(const std::string& file, const Verbs& verbs, const Names& names = {}) {
    struct Line {
        int number;
        std::wstring text, want;
    };
    std::vector<Line> lines;
    const auto fail = [&](int number) { return file + ":" + std::to_string(number) + ": "; };
    std::wistringstream session(wide(testFile(file)));
    int number = 1;
    for (std::wstring line; std::getline(session, line); ++number) {
        if (line.starts_with(L"> ") && !lines.empty()) lines.back().want += line.substr(2) + L"\n";
        if (line.starts_with(L"> ") && lines.empty()) ADD_FAILURE() << fail(number) << "no look";
        if (!line.starts_with(L"> ") && !line.starts_with(L"#") && !line.empty())
            lines.push_back({number, line, L""});
    }
    if (lines.empty()) ADD_FAILURE() << fail(0) << "no session lines (missing or empty)";
    Names named;  // what the names stand for, back to the names
    for (const auto& [name, value] : names) named.push_back({value, name});
    std::wstring step;
    for (const auto& [at, line, want] : lines) {
        std::wistringstream words(replaced(line, names));
        std::wstring verb;
        words >> verb >> std::ws;
        const auto found = verbs.find(verb);
        if (verb == L"step" && want.empty())
            std::getline(words, step);
        else if (found == verbs.end())
            ADD_FAILURE() << fail(at) << "\"" << narrow(verb) << "\" is no look or action";
        else
            try {
                EXPECT_EQ(replaced(asInFiles(found->second(words, want)), named), want)
                    << fail(at) << narrow(step + L": " + line);
            } catch (const std::exception& mistake) {
                ADD_FAILURE() << fail(at) << mistake.what();
            }
    }
}

inline void click(const std::wstring& text) {
    HWND button = nullptr;
    for (HWND window : {mainWindow, configWindow, logWindow})
        if (!button) button = FindWindowExW(window, nullptr, L"Button", text.c_str());
    if (!button) sessionMistake(L"no button labelled \"" + text + L"\"");
    SendMessageW(button, BM_CLICK, 0, 0);
}

inline HWND windowNamed(const std::wstring& name) {
    const std::map<std::wstring, HWND> windows{{L"config", configWindow},
                                               {L"log", logWindow},
                                               {L"main", mainWindow},
                                               {L"view", monitorViewWindow}};
    if (!windows.contains(name)) sessionMistake(L"no window named \"" + name + L"\"");
    return windows.at(name);
}

// "config closed, log hidden, main shown, view shown".
inline std::wstring windowStates(std::wistream&) {
    std::wstring shown;
    for (const wchar_t* name : {L"config", L"log", L"main", L"view"}) {
        const HWND window = windowNamed(name);
        shown += (shown.empty() ? L"" : L", ") + std::wstring(name) +
                 (!window                   ? L" closed"
                  : IsWindowVisible(window) ? L" shown"
                                            : L" hidden");
    }
    return shown + L"\n";
}

// The editor's message boxes, answered `promptAnswer`: "title|flags|text" each.
inline std::wstring prompts;
inline int promptAnswer = IDOK;
inline int WINAPI answerPrompt(HWND owner, LPCWSTR text, LPCWSTR title, UINT flags) {
    prompts += std::wstring(owner == configWindow ? L"" : L"(not over the configuration window) ") +
               title + (L"|" + std::to_wstring(flags) + L"|") + text + L"\n";
    return promptAnswer;
}
