#pragma once
// Sends this program's calls of one system function to a stand-in while the object lives, by
// rewriting the function's slot in the import address table: the code under test is unchanged.

#include <windows.h>

class ImportRedirect {
public:
    ImportRedirect(const wchar_t* dll, const char* function, void* standIn)
        : real_(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(dll), function))),
          standIn_(standIn),
          slots_(rewrite(real_, standIn_)) {}
    ~ImportRedirect() { rewrite(standIn_, real_); }
    ImportRedirect(const ImportRedirect&) = delete;
    ImportRedirect& operator=(const ImportRedirect&) = delete;
    int slots() const { return slots_; }  // 0: the program does not import the function

private:
    static int rewrite(void* from, void* to) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY table =
            headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
        auto* slot = reinterpret_cast<void**>(base + table.VirtualAddress);
        int found = 0;
        for (DWORD i = 0; from && i < table.Size / sizeof(void*); ++i) {
            if (slot[i] != from) continue;
            DWORD protection = 0;
            VirtualProtect(&slot[i], sizeof(void*), PAGE_READWRITE, &protection);
            slot[i] = to;
            VirtualProtect(&slot[i], sizeof(void*), protection, &protection);
            ++found;
        }
        return found;
    }

    void* real_;
    void* standIn_;
    int slots_;
};
