#include "log/log_tail.h"

#include <limits>
#include <optional>

#include "model/text_file.h"

std::wstring olderEntriesNote(const std::wstring& path) {
    return L"(older entries are in " + path + L")\r\n";
}

std::wstring readLogTail(const std::wstring& path, std::uintmax_t maxBytes) {
    // One byte more than the part shown: when that byte ends a line, the part starts a line.
    const std::optional<FileEnd> file =
        readFileEnd(path, maxBytes + 1, std::numeric_limits<std::uint64_t>::max());
    if (!file) return {};
    const std::string& bytes = file->bytes;
    if (file->size <= maxBytes) return decodeText(bytes);
    const std::size_t lineEnd = bytes.find('\n');
    const std::string_view shown = lineEnd == std::string::npos
                                       ? std::string_view()
                                       : std::string_view(bytes).substr(lineEnd + 1);
    return olderEntriesNote(path) + decodeText(shown);
}
