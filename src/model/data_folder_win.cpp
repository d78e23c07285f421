#include "model/data_folder.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <shlwapi.h>

std::wstring dataFolderLocation() {
    std::wstring path = L".";
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)) && known) {
        path = known;
    }
    CoTaskMemFree(known);  // the shell may hand out a buffer even when it fails
    return path + L"\\Tarvex\\";
}

std::wstring dataFolderPath() {
    const std::wstring path = dataFolderLocation();
    if (!PathFileExistsW(path.c_str())) SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    return path;
}
