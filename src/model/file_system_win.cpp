#include "model/file_system.h"

#include <windows.h>

#include <algorithm>

#include "model/retry.h"

namespace {

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE handleOf(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileHandle fileOf(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? noFile : reinterpret_cast<FileHandle>(handle);
}

// Another handle on the file refuses the operation for as long as it stays open.
FileOutcome outcomeOf(BOOL succeeded) {
    if (succeeded) return FileOutcome::done;
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? FileOutcome::held
                                                                            : FileOutcome::failed;
}

// Every appender of a file locks this one byte around its write, far past any real end, so
// readers are never blocked. Windows makes an append-only write atomic by itself; Wine does
// not, and without the lock two writers were seen to land entries at the same offset. A
// writer holds it for well under a millisecond, so it is tried every millisecond; a process
// that keeps it for appendLockLimit has hung, and is not waited for any longer.
class AppendLock {
public:
    explicit AppendLock(HANDLE file) : file_(file) {
        overlapped_.Offset = 0xFFFFFFFE;
        overlapped_.OffsetHigh = 0x7FFFFFFF;
        locked_ = retryWhileHeld(appendLockLimit, std::chrono::milliseconds(1), [this] {
                      if (LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                                     1, 0, &overlapped_)) {
                          return FileOutcome::done;
                      }
                      return GetLastError() == ERROR_LOCK_VIOLATION ? FileOutcome::held
                                                                    : FileOutcome::failed;
                  }) == FileOutcome::done;
    }
    ~AppendLock() {
        if (locked_) UnlockFileEx(file_, 0, 1, 0, &overlapped_);
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;

private:
    HANDLE file_;
    OVERLAPPED overlapped_{};
    bool locked_ = false;
};

// A lock needs read or write access; FILE_READ_DATA gives it without the right to write
// anywhere but at the end.
FileHandle openForAppending(const std::wstring& path, DWORD access) {
    return fileOf(CreateFileW(path.c_str(), FILE_READ_DATA | access, shareAll, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

FileHandle createNewFile(const std::wstring& path) {
    return fileOf(CreateFileW(path.c_str(), GENERIC_WRITE, shareAll, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool writeToFile(FileHandle file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(handleOf(file), bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool flushFileToDisk(FileHandle file) { return FlushFileBuffers(handleOf(file)) != 0; }

bool closeFile(FileHandle file) { return CloseHandle(handleOf(file)) != 0; }

FileHandle openForReading(const std::wstring& path) {
    return fileOf(CreateFileW(path.c_str(), GENERIC_READ, shareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool readFileSize(FileHandle file, std::uint64_t& size) {
    LARGE_INTEGER bytes{};
    if (!GetFileSizeEx(handleOf(file), &bytes)) return false;
    size = static_cast<std::uint64_t>(bytes.QuadPart);
    return true;
}

bool readFromFile(FileHandle file, std::uint64_t offset, std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(handleOf(file), bytes.data() + done, chunk, &read, &at)) {
            if (GetLastError() != ERROR_HANDLE_EOF) return false;
        }
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return true;
}

bool readLastWriteAge(const std::wstring& path, std::chrono::seconds& age) {
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &file)) return false;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    // Both count 100 ns ticks.
    const auto ticks = [](const FILETIME& time) {
        return static_cast<std::int64_t>(
            ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart);
    };
    using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
    age = std::chrono::duration_cast<std::chrono::seconds>(
        Ticks(ticks(now) - ticks(file.ftLastWriteTime)));
    return true;
}

FileOutcome removeFile(const std::wstring& path) { return outcomeOf(DeleteFileW(path.c_str())); }

// Opened without sharing, which fails while any other handle has the file open; the file goes
// when this one handle closes.
bool removeUnusedFile(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

FileOutcome replaceFileWith(const std::wstring& source, const std::wstring& target) {
    // A folder refuses as if held: it is not worth waiting for.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return FileOutcome::failed;
    }
    return outcomeOf(MoveFileExW(source.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

bool appendWholeToFile(const std::wstring& path, std::string_view bytes) {
    const FileHandle file = openForAppending(path, FILE_APPEND_DATA);
    if (file == noFile) return false;
    DWORD written = 0;
    bool whole = false;
    {
        // A lock that fails is no reason to lose the entry: the write goes ahead.
        const AppendLock lock(handleOf(file));
        whole = WriteFile(handleOf(file), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                          nullptr) &&
                written == bytes.size();
    }
    return closeFile(file) && whole;
}

bool emptyAppendedFile(const std::wstring& path) {
    const FileHandle file = openForAppending(path, FILE_WRITE_DATA);
    if (file == noFile) return false;
    bool emptied = false;
    {
        const AppendLock lock(handleOf(file));
        emptied = SetEndOfFile(handleOf(file)) != 0;  // a new handle stands at offset 0
    }
    return closeFile(file) && emptied;
}
