#include "model/file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

namespace {

std::string narrow(const std::wstring& path) { return std::filesystem::path(path).string(); }

int descriptor(FileHandle file) { return static_cast<int>(file); }

// Opened for writing, so never a folder.
FileHandle openForWriting(const std::wstring& path, int flags) {
    const int fd = ::open(narrow(path).c_str(), O_WRONLY | O_CLOEXEC | flags, 0666);
    return fd >= 0 ? fd : noFile;
}

}  // namespace

FileHandle createNewFile(const std::wstring& path) {
    return openForWriting(path, O_CREAT | O_EXCL);
}

bool writeToFile(FileHandle file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor(file), bytes.data(), bytes.size());
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool flushFileToDisk(FileHandle file) { return ::fsync(descriptor(file)) == 0; }

bool closeFile(FileHandle file) { return ::close(descriptor(file)) == 0; }

bool removeFile(const std::wstring& path) { return ::unlink(narrow(path).c_str()) == 0; }

bool replaceFileWith(const std::wstring& source, const std::wstring& target) {
    std::error_code error;
    // rename(2) replaces a file in one step, but it would also replace an empty folder.
    if (std::filesystem::is_directory(target, error)) return false;
    if (::rename(narrow(source).c_str(), narrow(target).c_str()) != 0) return false;
    // The new name reaches the disk with its folder. Some file systems cannot flush a folder;
    // the replace has happened all the same, so that is no failure.
    std::filesystem::path folder = std::filesystem::path(target).parent_path();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

bool appendWholeToFile(const std::wstring& path, std::string_view bytes) {
    // O_APPEND moves to the end and writes in one step, so one write() lands whole.
    const FileHandle file = openForWriting(path, O_CREAT | O_APPEND);
    if (file == noFile) return false;
    const bool whole =
        ::write(descriptor(file), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return closeFile(file) && whole;
}

bool emptyAppendedFile(const std::wstring& path) {
    const FileHandle file = openForWriting(path, O_CREAT);
    if (file == noFile) return false;
    const bool emptied = ::ftruncate(descriptor(file), 0) == 0;
    return closeFile(file) && emptied;
}
