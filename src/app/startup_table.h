#pragma once
// The target table's first contents, read from config.xml before the worker starts.

// First removes the temporary files that killed saves left in the data folder. Then fills
// the table from config.xml. A missing or empty file gives the default table, which is
// written at once; a file that exists but cannot be read (locked, no access, a folder in its
// place, larger than configFileLimit) also gives the default table in memory, but is left
// untouched and the reason is logged, so that a passing lock never costs the operator a
// configuration.
void loadTargetTableAtStartup();
