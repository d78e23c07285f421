#pragma once
// The two tables that config_save_loop.exe saves in turn and the interrupted-save test
// expects to find: documents of different lengths and contents, so that a cut or mixed file
// can never pass for either of them.

#include <string>
#include <vector>

#include "model/target.h"

inline std::vector<Target> savedTable(bool second) {
    std::vector<Target> table(targetSlotCount);
    for (std::size_t slot = 0; slot < table.size(); ++slot) {
        Target& target = table[slot];
        target.host = L"127.0.0." + std::to_wstring(slot + 1);
        if (second) {
            target.type = ProbeType::tcp;
            target.host += L".tarvex-save-test";
            target.port = static_cast<std::uint16_t>(40000 + slot);
            target.interval = 120;
            target.enabled = slot % 3 != 0;
        }
    }
    return table;
}
