#pragma once
// Every file of the program (config.xml, exported files, monitor.log) is read and written
// here, one byte per character with the Windows text-mode line ends: a line feed is stored
// as CR LF, CR LF reads back as a line feed, a lone CR is kept and a 0x1A byte ends the
// text. No byte order mark. The rule is applied by this code on binary streams, so the
// native and the Windows builds produce the same bytes.

#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// The whole file decoded, but nullopt when it is missing, cannot be read (locked, no access,
// a folder) or holds more than `maxBytes` bytes, which are then not read; pathExists() tells
// a missing file from the rest.
std::optional<std::wstring> tryReadTextFile(
    const std::wstring& path, std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());

// A file's size and its last bytes as they stand, read without holding up anyone else's save
// or log entry (see openForReading).
struct FileEnd {
    std::uint64_t size = 0;
    std::string bytes;  // the last `count` bytes, or all of a shorter file
};
// Nullopt when the file is missing, a folder, unreadable, or its bytes find no memory. A file
// larger than `maxSize` gives its size and no bytes.
std::optional<FileEnd> readFileEnd(const std::wstring& path, std::uint64_t count,
                                   std::uint64_t maxSize);

// Bytes as they stand in a file, decoded by the rule above (for readers of part of a file).
std::wstring decodeText(std::string_view bytes);

// True when `path` names something in the file system (a file, or a folder in its way).
bool pathExists(const std::wstring& path);

// True when every character fits in one byte (U+0000 to U+00FF).
bool isStorableText(std::wstring_view text);

// Writes the text to a temporary file beside `path` and flushes it to disk, then puts it in
// place in one step, so that a crash or a power cut leaves the old or the new text, whole.
// The temporary file is new, with a name of its own ("~tvx" and four hex digits): no other
// file is ever opened, replaced or removed. While another handle has `path` open (a virus
// scanner, the search indexer, another Tarvex reading it), the replace is tried again for up
// to replaceHoldLimit, and so is the removal of the temporary file after a failure. False
// leaves `path` as it was.
constexpr std::chrono::milliseconds replaceHoldLimit{2000};
bool replaceTextFile(const std::wstring& path, std::wstring_view text);

// Removes the temporary files that killed saves left in `folder` (a path ending with a
// separator): names of exactly the shape replaceTextFile gives them, last written more than a
// minute ago and open in no other process (another Tarvex may be saving).
void removeLeftoverTemporaries(const std::wstring& folder);

// Adds the text at the end of the file (created when missing) in one write that lands whole,
// even while other threads or processes append to the same file. False when nothing could be
// written.
bool appendTextWhole(const std::wstring& path, std::wstring_view text);
