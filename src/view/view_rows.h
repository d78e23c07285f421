#pragma once
// What the monitor view draws of one target, built from a snapshot of the table: the view
// never reads the table itself, so the worker never waits for the drawing.

#include <cstddef>
#include <string>
#include <vector>

#include "model/target.h"

// The results frame's left and right edges in the view, and the newest results one row
// shows: 145 bars of 2 px fill the frame's 290 px.
constexpr int resultsFrameLeft = 360;
constexpr int resultsFrameRight = 650;
constexpr int barWidth = 2;
constexpr std::size_t maxBarsPerRow = 145;
// Where a row's host text starts; the keyboard's tooltip starts below it.
constexpr int hostTextLeft = 32;
// Row k's top is firstRowTop + rowPitch * k.
constexpr int firstRowTop = 10;
constexpr int rowPitch = 26;

struct ViewRow {
    std::wstring host;
    std::wstring protocolText;        // "icmp", or "tcp:" and the port
    std::vector<bool> recentResults;  // oldest first; true where the target answered
    bool answered = false;            // the lamp: the newest result was an answer
    std::size_t slot = 0;             // the target's slot in the table
};

// What the view shows of a row's target on demand; the program's wiring gives it, as the view
// never reads the table: the text of the row's tooltip and of Ctrl+C, what a screen reader
// hears after the answered count, and the row's line of the table Ctrl+Shift+C copies.
struct RowDetailTexts {
    std::wstring shown;
    std::wstring spoken;
    std::wstring tableLine;
};
using RowDetailsSource = RowDetailTexts (*)(const ViewRow& row);

// One row per target in use, in slot order: disabled or host-less slots leave no gap.
std::vector<ViewRow> buildViewRows(const std::vector<Target>& targets);

// Left edge of the oldest of `barCount` bars: the newest bar always ends at the frame's
// right edge and a full row starts at its left edge.
int firstBarLeft(std::size_t barCount);

// What a screen reader says of a row: its host and protocol as painted ("127.0.0.1 tcp:80"),
// what its lamp shows ("up", "down", "not probed yet"), and how many of the results shown
// answered ("141 of 145 answered").
std::wstring spokenName(const ViewRow& row);
std::wstring spokenValue(const ViewRow& row);
std::wstring spokenDescription(const ViewRow& row);
