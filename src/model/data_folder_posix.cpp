#include "model/data_folder.h"
#include "model/data_folder_posix.h"

#include <filesystem>
#include <mutex>
#include <system_error>

namespace {
std::mutex folderMutex;
std::wstring testFolder = L"./Tarvex/";
}  // namespace

void setDataFolderForTests(const std::wstring& folder) {
    std::scoped_lock lock(folderMutex);
    testFolder = folder;
}

std::wstring dataFolderPath() {
    std::wstring path;
    {
        std::scoped_lock lock(folderMutex);
        path = testFolder;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path), error);
    return path;
}
