// The config reader fuzzed: 20 records, fresh unless a block was read, intervals of at least 1,
// trimmed hosts, and a document that reads back the same, or it aborts.
#include <cstdint>
#include <cstdlib>

#include "config/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text(data, data + size);
    std::vector<Target> targets(size % 32), again;
    const ConfigReadStatus status = readConfigText(text, targets);
    const std::wstring document = configDocumentText(targets);
    bool kept = targets.size() == 20 &&
                (status == ConfigReadStatus::read || document == configDocumentText({}));
    for (const Target& t : targets) kept = kept && t.interval >= 1 && trimBlanks(t.host) == t.host;
    readConfigText(document, again);
    if (!kept || configDocumentText(again) != document || unescapeXml(escapeXml(text)) != text)
        std::abort();
    return 0;
}
