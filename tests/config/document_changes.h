#pragma once
// config.xml documents as what they change in the default one: a line per slot, "slot 3: type
// tcp, host 127.0.0.2", each element's text as the file holds it (escaped).

#include <sstream>
#include <string>

#include "model/scratch_files.h"

// The writer's document for the default table, byte for byte: 20 slots on, icmp, no host.
inline std::string defaultDocument() {
    std::string document =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>\r\n  <targets>\r\n";
    for (int slot = 0; slot < 20; ++slot)
        document += "    <target>\r\n      <slot>" + std::to_string(slot) +
                    "</slot>\r\n      <enabled>1</enabled>\r\n      <type>icmp</type>\r\n"
                    "      <host></host>\r\n      <port>0</port>\r\n"
                    "      <interval>10</interval>\r\n    </target>\r\n";
    return document + "  </targets>\r\n</config>\r\n";
}

// What `document` changes in the default one; the whole document when it differs in anything
// but element texts.
inline std::string changesOf(const std::string& document) {
    std::istringstream base(defaultDocument()), seen(document);
    std::string changes, slot, lastSlot;
    for (std::string was, is; std::getline(base, was);) {
        const std::size_t open = was.find('>') + 1, close = was.find("</");
        if (was.find("<slot>") != std::string::npos) slot = was.substr(open, close - open);
        if (!std::getline(seen, is)) return document;
        if (is == was) continue;
        if (close == std::string::npos || !is.starts_with(was.substr(0, open)) ||
            !is.ends_with(was.substr(close)) || is.size() < open + was.size() - close)
            return document;
        changes +=
            (slot == lastSlot ? ", " : (changes.empty() ? "slot " : "\nslot ") + slot + ": ") +
            was.substr(was.find('<') + 1, open - was.find('<') - 2) + " " +
            is.substr(open, is.size() - was.size() + close - open);
        lastSlot = slot;
    }
    if (seen.peek() != EOF || !document.ends_with('\n')) return document;
    return changes.empty() ? changes : changes + "\n";
}
