#pragma once
// config.xml and the files the operator exports and imports: a fixed 165-line XML document
// of the 20 slots, written by line templates and read back by a tolerant scanner.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/target.h"

// The document for slots 0 to 19 (fresh records for slots `targets` lacks, entries past the
// 20th ignored), 165 lines, each ended by a line feed (stored as CR LF on disk).
std::wstring configDocumentText(const std::vector<Target>& targets);

// Writes configDocumentText(targets). The document goes to a temporary file beside `path`
// that then replaces `path` in one step; false leaves `path` as it was (also when a host holds
// a character above U+00FF, which the file cannot store).
bool writeConfigFile(const std::wstring& path, const std::vector<Target>& targets);

enum class ConfigReadStatus {
    missing,         // no such file
    unreadable,      // it exists but cannot be read (locked, no access, a folder, too large)
    empty,           // it reads as the empty text
    noTargetBlocks,  // not empty, but without one complete <target> ... </target> block
    read,            // at least one complete block was scanned
};

// A configuration is a few kilobytes. A larger file than this (a wrong file chosen for import,
// a damaged disk) is not read at all, so it can never take the machine's memory.
constexpr std::uint64_t configFileLimit = 64 * 1024 * 1024;

// Fills `targets` with exactly 20 records, whatever the outcome: the slots the file
// describes, fresh records for the rest.
ConfigReadStatus readConfigFileStatus(const std::wstring& path, std::vector<Target>& targets);

// The scanner behind readConfigFileStatus, on text already decoded: empty, noTargetBlocks or
// read, and `targets` filled with exactly 20 records. A "</target>" met before the next
// "<target>" (a damaged file) is skipped: the scan goes on after it.
ConfigReadStatus readConfigText(std::wstring_view text, std::vector<Target>& targets);

std::wstring escapeXml(std::wstring_view text);
std::wstring unescapeXml(std::wstring text);
// Strips spaces, tabs, carriage returns and line feeds from both ends (nothing else).
std::wstring trimBlanks(std::wstring_view text);
// An optional sign and the decimal digits up to the first other character; 0 without
// digits; saturated at the 32-bit limits.
std::int32_t parseInt32(std::wstring_view text);
