#include "log/log_tail.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "model/text_file.h"

namespace {

// `count` bytes from `offset`; fewer when the file ends sooner.
std::string readBytesAt(std::ifstream& stream, std::uintmax_t offset, std::uintmax_t count) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    stream.seekg(static_cast<std::streamoff>(offset));
    stream.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    return bytes;
}

}  // namespace

std::wstring olderEntriesNote(const std::wstring& path) {
    return L"(older entries are in " + path + L")\r\n";
}

std::wstring readLogTail(const std::wstring& path, std::uintmax_t maxBytes) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), error);
    if (error) return {};
    std::ifstream stream(std::filesystem::path(path), std::ios::binary);
    if (!stream) return {};
    if (size <= maxBytes) return decodeText(readBytesAt(stream, 0, size));

    // One byte more than the part shown: when that byte ends a line, the part starts a line.
    const std::string bytes = readBytesAt(stream, size - maxBytes - 1, maxBytes + 1);
    const std::size_t lineEnd = bytes.find('\n');
    const std::string_view shown = lineEnd == std::string::npos
                                       ? std::string_view()
                                       : std::string_view(bytes).substr(lineEnd + 1);
    return olderEntriesNote(path) + decodeText(shown);
}
