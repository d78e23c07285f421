// libFuzzer target of the config reader's scanner. The input bytes become one character each,
// as a file is decoded. A broken promise aborts: 20 records, each with an interval of at least
// 1, a trimmed host and no run-time state, all fresh unless a block was read; the document
// written from them reads back the same; unescapeXml undoes escapeXml.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "config/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text(data, data + size);
    std::vector<Target> targets(size % 32), again;
    const ConfigReadStatus status = readConfigText(text, targets);
    const std::wstring document = configDocumentText(targets);
    bool kept = targets.size() == 20 && (status == ConfigReadStatus::empty) == text.empty() &&
                (status == ConfigReadStatus::read || document == configDocumentText({}));
    for (const Target& t : targets) {
        kept = kept && t.interval >= 1 && trimBlanks(t.host) == t.host && t.history.empty() &&
               t.nextDue == 0;
    }
    readConfigText(document, again);
    if (!kept || configDocumentText(again) != document || unescapeXml(escapeXml(text)) != text) {
        std::abort();
    }
    return 0;
}
