#pragma once
// Every file of the program (config.xml, exported files, monitor.log) is read and written
// here, one byte per character with the Windows text-mode line ends: a line feed is stored
// as CR LF, CR LF reads back as a line feed, a lone CR is kept and a 0x1A byte ends the
// text. No byte order mark. The rule is applied by this code on binary streams, so the
// native and the Windows builds produce the same bytes.

#include <optional>
#include <string>
#include <string_view>

// The whole file decoded, or nullopt when it is missing or cannot be read (locked, no access,
// a folder); pathExists() tells the two apart.
std::optional<std::wstring> tryReadTextFile(const std::wstring& path);

// Bytes as they stand in a file, decoded by the rule above (for readers of part of a file).
std::wstring decodeText(std::string_view bytes);

// True when `path` names something in the file system (a file, or a folder in its way).
bool pathExists(const std::wstring& path);

// True when every character fits in one byte (U+0000 to U+00FF).
bool isStorableText(std::wstring_view text);

// Writes the text to a temporary file beside `path` and flushes it to disk, then puts it in
// place in one step, so that a crash or a power cut leaves the old or the new text, whole.
// The temporary file is new, with a name of its own ("~tvx" and four hex digits): no other
// file is ever opened, replaced or removed. False leaves `path` as it was.
bool replaceTextFile(const std::wstring& path, std::wstring_view text);

// Adds the text at the end of the file (created when missing) in one write that lands whole,
// even while other threads or processes append to the same file. False when nothing could be
// written.
bool appendTextWhole(const std::wstring& path, std::wstring_view text);
