#pragma once
// config.xml documents as what they change in files/default.xml: a line per slot, "slot 3:
// type tcp, host 127.0.0.2", each element's text as the file holds it (escaped).

#include <sstream>
#include <string>
#include <vector>

#include "model/scratch_files.h"

inline std::vector<std::string> documentLines(const std::string& document) {
    std::vector<std::string> lines;
    std::istringstream text(document);
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

// The default document with the elements `changes` names holding other texts.
inline std::string documentWith(const std::string& changes) {
    std::string document = testFile("config/files/default.xml");
    std::istringstream lines(changes);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.find(": ");
        const std::size_t slot = document.find("<slot>" + line.substr(5, colon - 5) + "</slot>");
        for (std::size_t at = colon + 2, end = 0; at < line.size(); at = end + 2) {
            end = std::min(line.find(", ", at), line.size());
            const std::size_t space = line.find(' ', at);
            const std::string tag = line.substr(at, space - at);
            const std::size_t open = document.find("<" + tag + ">", slot) + tag.size() + 2;
            document.replace(open, document.find("</" + tag + ">", open) - open,
                             line.substr(space + 1, end - space - 1));
        }
    }
    return document;
}

// What `document` changes in the default one, as documentWith takes it; the whole document
// when it differs in anything but element texts.
inline std::string changesOf(const std::string& document) {
    const std::vector<std::string> base = documentLines(testFile("config/files/default.xml")),
                                   seen = documentLines(document);
    if (seen.size() != base.size() || !document.ends_with('\n')) return document;
    std::string changes, slot, lastSlot;
    for (std::size_t i = 0; i < base.size(); ++i) {
        const std::size_t open = base[i].find('>') + 1, close = base[i].find("</");
        if (base[i].find("<slot>") != std::string::npos) slot = base[i].substr(open, close - open);
        if (seen[i] == base[i]) continue;
        const std::string head = base[i].substr(0, open), tail = base[i].substr(close);
        if (close == std::string::npos || !seen[i].starts_with(head) || !seen[i].ends_with(tail) ||
            seen[i].size() < head.size() + tail.size())
            return document;
        changes +=
            (slot == lastSlot ? ", " : (changes.empty() ? "slot " : "\nslot ") + slot + ": ") +
            head.substr(head.find('<') + 1, head.size() - head.find('<') - 2) + " " +
            seen[i].substr(open, seen[i].size() - open - tail.size());
        lastSlot = slot;
    }
    return changes.empty() ? changes : changes + "\n";
}
