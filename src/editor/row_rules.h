#pragma once
// One row of the configuration window read back into a Target, and the decision whether the
// row may be stored. Kept apart from the controls so the rules hold the same everywhere.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/target.h"

// What the controls of one row hold.
struct RowTexts {
    bool enabled = true;
    bool tcp = false;
    std::wstring host;  // as typed, blanks included
    std::wstring port;
    std::wstring interval;  // the text of the selected interval item
};

enum class RowProblem { none, invalidPort, unstorableHost };

struct RowReading {
    Target target;  // history empty, nextDue 0: the caller schedules it
    RowProblem problem = RowProblem::none;
};

// The host is trimmed, the port clamped to 0..65535, an interval below 1 becomes 10. An
// enabled tcp row with a host needs a port text whose number lies in 1..65535; any host must
// be storable in a file of one byte per character.
RowReading readRow(const RowTexts& row);

// The warning shown for the 1-based row number.
std::wstring rowProblemText(int rowNumber, RowProblem problem);
