#pragma once
// The two colours of a verdict, the same wherever one is shown: the status lamp, the health
// bar, the monitor view's lamps and result bars.

#include <windows.h>

constexpr COLORREF answeredColour = RGB(0, 170, 0);  // running, answered, all answering
constexpr COLORREF failedColour = RGB(220, 0, 0);    // stopped, no answer, some target down
