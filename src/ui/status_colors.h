#pragma once
// The two colours of a verdict, the same wherever one is shown: the status lamp, the health
// bar, the monitor view's lamps and result bars, the notification-area icon; that icon's grey
// when it has no verdict; and the colours the windows share around them.

#include <windows.h>

constexpr COLORREF answeredColour = RGB(0, 170, 0);        // running, answered, all answering
constexpr COLORREF failedColour = RGB(220, 0, 0);          // stopped, no answer, some target down
constexpr COLORREF backgroundColour = RGB(255, 255, 255);  // the main, view and config windows
constexpr COLORREF separatorColour = RGB(210, 210, 210);   // the header's line, the view's frame
constexpr COLORREF unknownColour = RGB(160, 160, 160);     // stopped or nothing known yet
constexpr COLORREF lampOutlineColour = RGB(80, 80, 80);    // every lamp
