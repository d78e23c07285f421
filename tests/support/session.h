#pragma once
// An operator's session written in a file under tests/ and carried out line by line: each line
// an action or a look, a look followed by what it must show, each line of that behind "> ".
// "step TEXT" names the part that follows in failure messages; "#" starts a comment.

#include <sstream>

#include "support/wine_gui.h"

// Carries out a line, given its verb, the rest of its words and what it must show (a look may
// wait for that); answers what it shows.
using SessionLine = std::function<std::wstring(const std::wstring& verb, std::wistream& words,
                                               const std::wstring& want)>;

// `names` pairs a name the file writes ("<folder>") with what it stands for.
inline void runSession(const std::string& file, const SessionLine& perform,
                       const std::vector<std::pair<std::wstring, std::wstring>>& names = {}) {
    std::vector<std::pair<std::wstring, std::wstring>> lines;  // a line, what it must show
    std::wistringstream session(fileText(file));
    for (std::wstring line; std::getline(session, line);) {
        if (line.starts_with(L"> ")) lines.back().second += line.substr(2) + L"\n";
        if (!line.starts_with(L"> ") && !line.starts_with(L"#") && !line.empty())
            lines.push_back({line, L""});
    }
    std::wstring step;
    for (const auto& [line, want] : lines) {
        std::wstring text = line;
        for (const auto& [name, value] : names) text = replaced(text, {{name, value}});
        std::wistringstream words(text);
        std::wstring verb;
        words >> verb >> std::ws;
        if (verb == L"step") std::getline(words, step);
        if (verb == L"step") continue;
        std::wstring shown = asInFiles(perform(verb, words, want));
        for (const auto& [name, value] : names) shown = replaced(shown, {{value, name}});
        EXPECT_EQ(shown, want) << step << ": " << line;
    }
}

// The button labelled `text` in the main, configuration or log window.
inline HWND buttonLabelled(const std::wstring& text) {
    for (HWND window : {mainWindow, configWindow, logWindow})
        if (HWND button = FindWindowExW(window, nullptr, L"Button", text.c_str())) return button;
    return nullptr;
}

// Presses the button labelled `text` as the mouse does.
inline void click(const std::wstring& text) { SendMessageW(buttonLabelled(text), BM_CLICK, 0, 0); }
