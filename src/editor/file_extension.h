#pragma once
// The names of exported configuration files: a name typed without an extension gets ".xml".

#include <string>
#include <string_view>

// The file an export writes for the name the operator chose: the name with ".xml" appended
// when it has no extension, otherwise the name as typed.
std::wstring exportFileName(std::wstring_view chosen);
