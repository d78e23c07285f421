#include "alert/tray_state.h"

TrayState trayStateOf(bool running, std::size_t inUse, std::size_t up, std::size_t down) {
    if (!running) return {TrayLamp::grey, L"Tarvex: monitoring stopped"};
    if (inUse == 0) return {TrayLamp::grey, L"Tarvex: no target in use"};
    if (up + down == 0) return {TrayLamp::grey, L"Tarvex: waiting for the first answers"};
    if (down > 0) {
        return {TrayLamp::red, L"Tarvex: " + std::to_wstring(down) + L" of " +
                                   std::to_wstring(inUse) +
                                   (inUse == 1 ? L" target down" : L" targets down")};
    }
    // Targets not known yet are not counted as answering.
    return {TrayLamp::green, L"Tarvex: " + std::to_wstring(up) +
                                 (up == 1 ? L" target answers" : L" targets answer")};
}
