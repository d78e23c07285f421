#include "model/text_file.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "model/file_system.h"

namespace {

constexpr char endOfText = 0x1A;

std::ios::openmode streamMode(TextOutputMode mode) {
    return std::ios::binary | std::ios::out |
           (mode == TextOutputMode::append ? std::ios::app : std::ios::trunc);
}

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

}  // namespace

TextOutput::TextOutput(const std::wstring& path, TextOutputMode mode) {
    if (!isFolder(path)) stream_.open(std::filesystem::path(path), streamMode(mode));
}

void TextOutput::write(std::wstring_view text) {
    const std::string bytes = encodeText(text);
    stream_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool TextOutput::close() {
    if (!stream_.is_open()) return false;
    stream_.close();
    return !stream_.fail();
}

TextOutput openTextOutput(const std::wstring& path, TextOutputMode mode) {
    return TextOutput(path, mode);
}

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

std::wstring readTextFile(const std::wstring& path) {
    return tryReadTextFile(path).value_or(std::wstring());
}

bool pathExists(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(path), error);
}

bool isStorableText(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t c) { return static_cast<std::uint32_t>(c) <= 0xFF; });
}

bool writeTextFile(const std::wstring& path, std::wstring_view text) {
    if (!isStorableText(text)) return false;
    TextOutput output(path, TextOutputMode::truncate);
    if (!output.isOpen()) return false;
    output.write(text);
    return output.close();
}

bool replaceTextFile(const std::wstring& path, std::wstring_view text) {
    if (!isStorableText(text)) return false;
    const std::wstring temporary = path + L".tmp";
    // A folder by that name is not ours to write into or to remove on failure.
    if (isFolder(temporary)) return false;
    if (!writeTextFile(temporary, text) || !replaceFileWith(temporary, path)) {
        std::error_code error;
        std::filesystem::remove(std::filesystem::path(temporary), error);
        return false;
    }
    return true;
}
