#pragma once
// Sends this program's calls of a system function to a stand-in, the code under test unchanged:
// the slots of the import address table that hold `from` are set to `to`. Answers how many.

#include <windows.h>

inline int redirectImport(const void* from, const void* to) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY table =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    auto* slots = reinterpret_cast<const void**>(base + table.VirtualAddress);
    int found = 0;
    for (DWORD i = 0; i < table.Size / sizeof(void*); ++i) {
        if (slots[i] != from) continue;
        DWORD protection = 0;
        VirtualProtect(&slots[i], sizeof(void*), PAGE_READWRITE, &protection);
        slots[i] = to;
        ++found;
    }
    return found;
}

inline const void* systemFunction(const wchar_t* dll, const char* name) {
    return reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleW(dll), name));
}
