#pragma once
// Starts a program of the build tree, named relative to the tests' executable, in a process
// of its own; the process handle, null when it could not be started.
#include <windows.h>

#include <filesystem>
#include <string>

inline HANDLE startProgram(const std::wstring& relative, std::wstring arguments = L"") {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring program = std::filesystem::path(self).parent_path() / relative;
    arguments = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    CreateProcessW(program.c_str(), arguments.data(), 0, 0, FALSE, 0, 0, 0, &startup, &started);
    return started.hProcess;
}
