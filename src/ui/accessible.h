#pragma once
// What screen readers read of a window the program paints itself (MSAA, which Windows also
// hands to UI Automation clients): the window's client object with simple children (the
// items), each with a name, a value and a description. Everything else about the window is
// answered as the system's standard object for it answers.

#include <windows.h>

#include <string>
#include <vector>

struct AccessibleItem {
    std::wstring name;
    std::wstring value;
    std::wstring description;
    LONG role;
    RECT box;  // in the window's client area
};

// The items as they are now; called for every question a reader asks.
using AccessibleItems = std::vector<AccessibleItem> (*)(HWND window);
// The selected item's child id (1 to n), 0 while none is selected.
using AccessibleSelection = LONG (*)(HWND window);

struct AccessibleClient {
    LONG role;          // 0: the standard object's role
    std::wstring name;  // empty: the standard object's name
    // The items, children 1 to n, before the child windows; null: the standard children.
    AccessibleItems items;
    // Null: the items cannot be selected. Otherwise they are selectable and focusable, and the
    // selected one is the focused child while the window has the keyboard focus.
    AccessibleSelection selected = nullptr;
};

// WM_GETOBJECT: true when a reader asks for the window's client object.
bool asksForClient(LPARAM lParam);
// The answer to that question: an object that reads `client`.
LRESULT answerClientObject(HWND window, WPARAM wParam, const AccessibleClient& client);

// Tells listening readers which items changed what they say since `last`, which becomes
// `now`: EVENT_OBJECT_NAMECHANGE, _VALUECHANGE and _DESCRIPTIONCHANGE per item, and
// EVENT_OBJECT_REORDER when items came or went.
void announceItemChanges(HWND window, const std::vector<AccessibleItem>& now,
                         std::vector<AccessibleItem>& last);

// Tells listening readers that item `child` (1 to n) is now the selected and focused one, so
// they speak it as the arrow keys move.
void announceSelectedItem(HWND window, LONG child);

// Gives a standard control the name a screen reader speaks for it ("Row 3 host"), in place of
// the label Windows would look for before it; the rest is read as the control says.
void setAccessibleName(HWND control, const std::wstring& name);
