#include "model/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
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

FileHandle openForReading(const std::wstring& path) {
    const int fd = ::open(narrow(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return noFile;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) return fd;
    ::close(fd);
    return noFile;
}

bool readFileSize(FileHandle file, std::uint64_t& size) {
    struct stat status {};
    if (::fstat(descriptor(file), &status) != 0) return false;
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool readFromFile(FileHandle file, std::uint64_t offset, std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t read = ::pread(descriptor(file), bytes.data() + done, bytes.size() - done,
                                     static_cast<off_t>(offset + done));
        if (read < 0) return false;
        if (read == 0) break;
        done += static_cast<std::size_t>(read);
    }
    bytes.resize(done);
    return true;
}

bool readLastWriteAge(const std::wstring& path, std::chrono::seconds& age) {
    std::error_code error;
    const auto written = std::filesystem::last_write_time(std::filesystem::path(path), error);
    if (error) return false;
    age = std::chrono::duration_cast<std::chrono::seconds>(
        std::filesystem::file_time_type::clock::now() - written);
    return true;
}

// Here nothing refuses a removal or a replace because someone has the file open.
FileOutcome removeFile(const std::wstring& path) {
    return ::unlink(narrow(path).c_str()) == 0 ? FileOutcome::done : FileOutcome::failed;
}

bool removeUnusedFile(const std::wstring& path) { return removeFile(path) == FileOutcome::done; }

FileOutcome replaceFileWith(const std::wstring& source, const std::wstring& target) {
    std::error_code error;
    // rename(2) replaces a file in one step, but it would also replace an empty folder.
    if (std::filesystem::is_directory(target, error)) return FileOutcome::failed;
    if (::rename(narrow(source).c_str(), narrow(target).c_str()) != 0) return FileOutcome::failed;
    // The new name reaches the disk with its folder. Some file systems cannot flush a folder;
    // the replace has happened all the same, so that is no failure.
    std::filesystem::path folder = std::filesystem::path(target).parent_path();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return FileOutcome::done;
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
