// libFuzzer target of the configuration reader's scanner (readConfigText, the text part of
// readConfigFile). The input bytes become characters one byte each, as readTextFile decodes
// a file; the target checks what the reader promises and aborts when a promise is broken:
//   - exactly 20 records, each with a known probe type, an interval of at least 1, a host
//     without blanks at its ends, no results and nextDue 0; all fresh unless a block was read;
//   - the document written from those records reads back as the same settings;
//   - unescapeXml undoes escapeXml on the input text.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/config_file.h"

namespace {

void require(bool condition, const char* promise) {
    if (condition) return;
    std::fprintf(stderr, "config_reader_fuzz: broken promise: %s\n", promise);
    std::abort();
}

bool sameSettings(const Target& a, const Target& b) {
    return a.enabled == b.enabled && a.type == b.type && a.host == b.host && a.port == b.port &&
           a.interval == b.interval;
}

bool isFresh(const Target& target) { return sameSettings(target, Target{}); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text(size, L'\0');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<wchar_t>(data[i]);

    std::vector<Target> targets(size % 32);  // whatever the caller's list held before
    const ConfigReadStatus status = readConfigText(text, targets);
    require(targets.size() == targetSlotCount, "exactly 20 records");
    require((status == ConfigReadStatus::empty) == text.empty(), "empty only for empty text");
    require(status == ConfigReadStatus::empty || status == ConfigReadStatus::noTargetBlocks ||
                status == ConfigReadStatus::read,
            "a text status");
    for (const Target& target : targets) {
        const auto type = static_cast<std::int32_t>(target.type);
        require(type == 0 || type == 1, "type icmp or tcp");
        require(target.interval >= 1, "interval at least 1");
        require(trimBlanks(target.host) == target.host, "host trimmed");
        require(target.history.empty() && target.nextDue == 0, "no run-time state");
        require(status == ConfigReadStatus::read || isFresh(target), "fresh without blocks");
    }

    std::vector<Target> again;
    require(readConfigText(configDocumentText(targets), again) == ConfigReadStatus::read,
            "a written document has blocks");
    for (std::size_t i = 0; i < targetSlotCount; ++i) {
        require(sameSettings(targets[i], again[i]), "written settings read back the same");
    }

    require(unescapeXml(escapeXml(text)) == text, "unescapeXml undoes escapeXml");
    return 0;
}
