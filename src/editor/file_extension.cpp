#include "editor/file_extension.h"

namespace {

// True when the last '.' of `path` lies in its last component, after the last '\' or '/'.
bool hasFileExtension(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos) return false;
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos || dot > separator;
}

}  // namespace

std::wstring exportFileName(std::wstring_view chosen) {
    std::wstring name(chosen);
    if (!hasFileExtension(name)) name += L".xml";
    return name;
}
