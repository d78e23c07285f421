#pragma once
// The file-system services that differ between Windows and the native test build. Files are
// opened without sharing restrictions; bytes go through unchanged (the text rules live in
// text_file.cpp).

#include <cstdint>
#include <string>
#include <string_view>

// An open file of the platform (a descriptor or a HANDLE); noFile when none.
using FileHandle = std::intptr_t;
constexpr FileHandle noFile = -1;

// Creates the file for writing only when nothing of that name exists, so the caller owns
// what it opened; noFile otherwise (it exists, the folder is missing, no access).
FileHandle createNewFile(const std::wstring& path);
// True when every byte was written.
bool writeToFile(FileHandle file, std::string_view bytes);
// True when the data written so far has reached the disk.
bool flushFileToDisk(FileHandle file);
bool closeFile(FileHandle file);
// Removes a file (never a folder); true when it is gone.
bool removeFile(const std::wstring& path);

// Puts `source` in place of `target` in one step, replacing an existing file, and returns
// true; on failure `target` is left as it was.
bool replaceFileWith(const std::wstring& source, const std::wstring& target);

// Adds `bytes` at the end of the file (created when missing) in one write that lands whole,
// even while other threads or processes append to the same file.
bool appendWholeToFile(const std::wstring& path, std::string_view bytes);
// Empties the file (created when missing) while no appendWholeToFile is under way.
bool emptyAppendedFile(const std::wstring& path);
