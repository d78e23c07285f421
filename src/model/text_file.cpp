#include "model/text_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <random>
#include <system_error>

#include "model/file_system.h"
#include "model/retry.h"

namespace {

constexpr char endOfText = 0x1A;

std::string encodeText(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n') {
            bytes += "\r\n";
        } else {
            bytes += static_cast<std::uint32_t>(c) <= 0xFF ? static_cast<char>(c) : '?';
        }
    }
    return bytes;
}

// Every temporary file is "~tvx" and four hex digits: a file a killed save left behind is
// known by its name.
constexpr std::wstring_view temporaryPrefix = L"~tvx";
// A save keeps its temporary file for a few seconds at most; one older than this was left by a
// killed save, not made by another Tarvex that is about to rename it.
constexpr std::chrono::seconds leftoverAge{60};

// A file of a new name in the folder of `path` (so the replace stays one step on one volume),
// created only where no file of that name exists. Eight characters: shorter than "config.xml",
// and never much longer than an exported file's name, for the 260-character path limit.
FileHandle createTemporaryBeside(const std::wstring& path, std::wstring& temporary) {
    thread_local std::minstd_rand random(std::random_device{}());
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    constexpr int attempts = 16;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        wchar_t name[16];
        std::swprintf(name, 16, L"%ls%04x", temporaryPrefix.data(),
                      static_cast<unsigned>(random() & 0xFFFF));
        temporary = folder + name;
        const FileHandle file = createNewFile(temporary);
        if (file != noFile) return file;
    }
    return noFile;
}

}  // namespace

std::optional<std::wstring> tryReadTextFile(const std::wstring& path, std::uint64_t maxBytes) {
    const std::optional<FileEnd> file = readFileEnd(path, maxBytes, maxBytes);
    if (!file || file->size > maxBytes) return std::nullopt;
    try {
        return decodeText(file->bytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;  // a file too large for the memory left is as good as unreadable
    }
}

std::optional<FileEnd> readFileEnd(const std::wstring& path, std::uint64_t count,
                                   std::uint64_t maxSize) {
    const FileHandle file = openForReading(path);
    if (file == noFile) return std::nullopt;
    FileEnd end;
    bool read = readFileSize(file, end.size);
    if (read && end.size <= maxSize) {
        try {
            end.bytes.resize(static_cast<std::size_t>(std::min(count, end.size)));
            read = readFromFile(file, end.size - end.bytes.size(), end.bytes);
        } catch (const std::bad_alloc&) {
            read = false;
        }
    }
    closeFile(file);
    if (!read) return std::nullopt;
    return end;
}

std::wstring decodeText(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte == endOfText) break;
        if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    }
    return text;
}

bool pathExists(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(path), error);
}

bool isStorableText(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t c) { return static_cast<std::uint32_t>(c) <= 0xFF; });
}

bool replaceTextFile(const std::wstring& path, std::wstring_view text) {
    if (!isStorableText(text)) return false;
    std::wstring temporary;
    const FileHandle file = createTemporaryBeside(path, temporary);
    if (file == noFile) return false;
    // The data must be on the disk before the new name is: a power cut right after the replace
    // would otherwise leave an empty or cut file under the target's name.
    bool written = writeToFile(file, encodeText(text)) && flushFileToDisk(file);
    written = closeFile(file) && written;
    constexpr std::chrono::milliseconds step{10};
    if (written && retryWhileHeld(replaceHoldLimit, step, [&] {
                       return replaceFileWith(temporary, path);
                   }) == FileOutcome::done) {
        return true;
    }
    // This write created it, so it is ours to remove.
    retryWhileHeld(replaceHoldLimit, step, [&] { return removeFile(temporary); });
    return false;
}

void removeLeftoverTemporaries(const std::wstring& folder) {
    const auto isTemporaryName = [](const std::wstring& name) {
        return name.size() == temporaryPrefix.size() + 4 && name.starts_with(temporaryPrefix) &&
               std::all_of(name.begin() + temporaryPrefix.size(), name.end(), [](wchar_t c) {
                   return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
               });
    };
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::wstring name = entry->path().filename().wstring();
        std::chrono::seconds age{};
        if (isTemporaryName(name) && readLastWriteAge(folder + name, age) && age > leftoverAge)
            removeUnusedFile(folder + name);
    }
}

bool appendTextWhole(const std::wstring& path, std::wstring_view text) {
    return appendWholeToFile(path, encodeText(text));
}
