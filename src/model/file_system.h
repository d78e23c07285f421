#pragma once
// The file-system services that differ between Windows and the native test build. Files are
// opened without sharing restrictions (reading, writing and deletion all shared; only
// removeUnusedFile asks to be alone), so nothing here holds up another process's save or log
// entry; bytes go through unchanged (the text rules live in text_file.cpp).

#include <chrono>
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

// Opens an existing file (never a folder) for reading; noFile when it is missing, a folder or
// cannot be opened.
FileHandle openForReading(const std::wstring& path);
// False when the size cannot be told.
bool readFileSize(FileHandle file, std::uint64_t& size);
// Fills `bytes` from `offset` on, shortened to what the file holds there; false on an error.
bool readFromFile(FileHandle file, std::uint64_t offset, std::string& bytes);

// How an operation that another handle on the file can refuse for a while went: `held` when
// it was refused because someone else has the file open or locked (on Windows a virus
// scanner, the search indexer or another Tarvex may, for a moment); worth trying again.
enum class FileOutcome { done, held, failed };

// How long ago the file was last written (negative when its time lies ahead of the clock);
// false when it cannot be told.
bool readLastWriteAge(const std::wstring& path, std::chrono::seconds& age);

// Removes a file (never a folder).
FileOutcome removeFile(const std::wstring& path);
// Removes a file that no other handle has open (Windows; elsewhere any file).
bool removeUnusedFile(const std::wstring& path);

// Puts `source` in place of `target` in one step, replacing an existing file (never a
// folder); on failure `target` is left as it was.
FileOutcome replaceFileWith(const std::wstring& source, const std::wstring& target);

// Adds `bytes` at the end of the file (created when missing) in one write that lands whole,
// even while other threads or processes append to the same file. Appenders take turns by a
// lock, waited for at most appendLockLimit: an entry is never held up for longer by another
// process (one that hangs holding the lock), it is then written without the lock.
constexpr std::chrono::milliseconds appendLockLimit{200};
bool appendWholeToFile(const std::wstring& path, std::string_view bytes);
// Empties the file (created when missing) while no appendWholeToFile is under way, taking the
// same lock within the same limit.
bool emptyAppendedFile(const std::wstring& path);
