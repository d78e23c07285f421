// Saves the configuration over and over, the two tables of two_tables.h in turn, through the
// configuration window's own save step (the table replaced and config.xml written), until
// it is killed. After the first save it signals the event named on its command line.
// Usage: config_save_loop.exe <event name>

#include <windows.h>

#include "editor/config_editor.h"
#include "two_tables.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
    if (!ready) return 3;
    const std::vector<Target> tables[] = {savedTable(true), savedTable(false)};
    for (unsigned long saves = 0;; ++saves) {
        if (!replaceTargetTable(tables[saves % 2])) return 4;
        if (saves == 0) SetEvent(ready);
    }
}
