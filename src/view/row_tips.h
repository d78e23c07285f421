#pragma once
// The monitor view's two tooltips with a row's details: one for the mouse, shown when the
// pointer rests on a row, and one for the keyboard, shown below the selected row while the
// view has the focus. Both ask the view for their text when they show it (TTN_GETDISPINFO).

#include <windows.h>

#include <cstddef>

// Made with the view; they follow its font and are destroyed with it.
void createRowTips(HWND view);
// After the rows, the view's size or its DPI changed: one mouse tool over each of `rowCount`
// rows, in the view's font. The keyboard tip moves with showKeyboardTip.
void placeRowTips(HWND view, std::size_t rowCount);
// The keyboard tip below row `row`, or hidden when `row` is negative; shown again, it asks
// for its text anew.
void showKeyboardTip(HWND view, int row);
// TTN_GETDISPINFO's tool: the row it is about.
int rowOfTipTool(UINT_PTR tool);
