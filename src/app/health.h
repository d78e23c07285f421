#pragma once
// The health bar's verdict over the whole table.

#include <string>
#include <vector>

#include "model/target.h"

// False when some target in use has no result yet or failed its newest probe.
bool allTargetsInUseAnswered(const std::vector<Target>& entries);

// What the health bar says to a screen reader: "no targets" (none in use), "all targets
// answering", or how many targets in use have no answer as their newest result ("2 of 6
// targets down").
std::wstring spokenHealth(const std::vector<Target>& entries);
