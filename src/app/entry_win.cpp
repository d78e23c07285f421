#include <windows.h>

// Placeholder entry until the main window lands: proves the toolchain end to end.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
