#pragma once
// The newest part of monitor.log. The log has no size limit, and an edit control gets
// slower with every character it holds, so the log window reads only the end of the file:
// a log that has grown for months opens as fast as a new one.

#include <cstdint>
#include <string>

// The first line shown when older entries are left out, with its line end.
std::wstring olderEntriesNote(const std::wstring& path);

// A file of at most `maxBytes` bytes: its whole text, the same as tryReadTextFile. A larger
// file: olderEntriesNote(path), then the text of its last `maxBytes` bytes from the first
// line start among them (only the note when they hold no line start), decoded by the same
// rule; a 0x1A byte before that part is not looked for. Empty when the file is missing,
// a folder or unreadable.
std::wstring readLogTail(const std::wstring& path, std::uintmax_t maxBytes);
