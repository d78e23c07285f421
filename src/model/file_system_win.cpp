#include "model/file_system.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE handleOf(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileHandle fileOf(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? noFile : reinterpret_cast<FileHandle>(handle);
}

// Every appender of a file locks this one byte around its write, far past any real end, so
// readers are never blocked. Windows makes an append-only write atomic by itself; Wine does
// not, and without the lock two writers were seen to land entries at the same offset.
class AppendLock {
public:
    explicit AppendLock(HANDLE file) : file_(file) {
        overlapped_.Offset = 0xFFFFFFFE;
        overlapped_.OffsetHigh = 0x7FFFFFFF;
        locked_ = LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &overlapped_) != 0;
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

bool removeFile(const std::wstring& path) { return DeleteFileW(path.c_str()) != 0; }

bool replaceFileWith(const std::wstring& source, const std::wstring& target) {
    return MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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
