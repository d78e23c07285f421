#include "model/file_system.h"

#include <filesystem>
#include <system_error>

bool replaceFileWith(const std::wstring& source, const std::wstring& target) {
    std::error_code error;
    // rename(2) replaces a file in one step, but it would also replace an empty folder.
    if (std::filesystem::is_directory(target, error)) return false;
    std::filesystem::rename(source, target, error);
    return !error;
}
