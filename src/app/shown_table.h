#pragma once
// What the main window shows of the target table, all from one snapshot taken per refresh:
// the paints, the status panel and the screen readers read this, never the table itself.

#include <cstddef>
#include <string>
#include <vector>

#include "view/view_rows.h"

struct ShownTable {
    std::size_t inUse = 0;                // targets in use
    std::size_t up = 0;                   // targets in use whose outage state is up
    std::size_t down = 0;                 // ... and down; the others are not known yet
    bool healthy = true;                  // the health bar: every target in use answered
    std::wstring health = L"no targets";  // what the health bar says to a screen reader
};

extern ShownTable shownTable;  // user-interface thread only

// Takes one snapshot of the table (only the results the view shows), updates shownTable
// from it and answers the monitor view's rows.
std::vector<ViewRow> takeShownTable();

// A row's details as its target is now in the table: the monitor view's source of details,
// called on the user-interface thread when a tooltip, the clipboard or a reader asks.
RowDetailTexts detailsOfRow(const ViewRow& row);
