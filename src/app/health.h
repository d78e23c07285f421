#pragma once
// The health bar's verdict over the whole table.

#include <vector>

#include "model/target.h"

// False when some target in use has no result yet or failed its newest probe. Call it with
// the table lock held.
bool allTargetsInUseAnswered(const std::vector<Target>& entries);
