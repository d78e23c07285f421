// Saves the tables of the two files named on its command line in turn, through the
// configuration window's own save step, until it is killed; signals the event after the first.
// Usage: config_save_loop.exe <event name> <first.xml> <second.xml>
#include <windows.h>

#include "config/config_file.h"
#include "editor/config_editor.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<Target> tables[2];
    if (argc < 4 || !readConfigFile(argv[2], tables[0]) || !readConfigFile(argv[3], tables[1]))
        return 2;
    for (unsigned saves = 0;; ++saves) {
        replaceTargetTable(tables[saves % 2]);
        if (saves == 0) SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]));
    }
}
