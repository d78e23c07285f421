#include "model/data_folder_posix.h"

#include <filesystem>
#include <mutex>
#include <system_error>

#include "model/data_folder.h"

namespace {
std::mutex folderMutex;
std::wstring testFolder = L"./Tarvex/";
}  // namespace

void setDataFolderForTests(const std::wstring& folder) {
    std::scoped_lock lock(folderMutex);
    testFolder = folder;
}

std::wstring dataFolderLocation() {
    std::scoped_lock lock(folderMutex);
    return testFolder;
}

std::wstring dataFolderPath() {
    const std::wstring path = dataFolderLocation();
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path), error);
    return path;
}
