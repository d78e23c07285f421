#include "model/text_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "model/file_system.h"

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

bool isFolder(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(path), error);
}

// Every temporary file is "~tvx" and four hex digits: a file a killed save left behind is
// known by its name.
constexpr std::wstring_view temporaryPrefix = L"~tvx";

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

std::optional<std::wstring> tryReadTextFile(const std::wstring& path) {
    if (isFolder(path)) return std::nullopt;
    std::ifstream stream(std::filesystem::path(path), std::ios::binary);
    if (!stream) return std::nullopt;
    const std::string bytes{std::istreambuf_iterator<char>(stream),
                            std::istreambuf_iterator<char>()};
    if (stream.bad()) return std::nullopt;
    return decodeText(bytes);
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
    if (written && replaceFileWith(temporary, path)) return true;
    removeFile(temporary);  // this write created it, so it is ours to remove
    return false;
}

bool appendTextWhole(const std::wstring& path, std::wstring_view text) {
    return appendWholeToFile(path, encodeText(text));
}
