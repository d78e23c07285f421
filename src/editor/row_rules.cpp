#include "editor/row_rules.h"

#include "config/config_file.h"
#include "model/text_file.h"

namespace {

constexpr std::int32_t highestPort = 65535;
constexpr std::int32_t defaultInterval = 10;

std::uint16_t portFromNumber(std::int32_t n) {
    if (n <= 0) return 0;
    if (n >= highestPort) return highestPort;
    return static_cast<std::uint16_t>(n);
}

// The number at the start of `text` as the C runtime's _wtoi reads it: leading white space
// skipped, an optional sign, the digits up to the first other character, 0 without digits,
// saturated at the 32-bit limits.
std::int32_t leadingNumber(std::wstring_view text) {
    const std::size_t start = text.find_first_not_of(L" \t\n\v\f\r");
    if (start == std::wstring_view::npos) return 0;
    return parseInt32(text.substr(start));
}

}  // namespace

RowReading readRow(const RowTexts& row) {
    RowReading reading;
    Target& target = reading.target;
    target.enabled = row.enabled;
    target.host = trimBlanks(row.host);
    target.type = row.tcp ? ProbeType::tcp : ProbeType::icmp;
    const std::int32_t port = leadingNumber(row.port);
    target.port = portFromNumber(port);
    const std::int32_t interval = leadingNumber(row.interval);
    target.interval = interval >= 1 ? interval : defaultInterval;

    const bool portMatters = target.enabled && !target.host.empty() && row.tcp;
    if (portMatters && (port < 1 || port > highestPort)) {
        reading.problem = RowProblem::invalidPort;
    } else if (!isStorableText(target.host)) {
        reading.problem = RowProblem::unstorableHost;
    }
    return reading;
}

std::wstring rowProblemText(int rowNumber, RowProblem problem) {
    std::wstring text = L"Row " + std::to_wstring(rowNumber) + L": ";
    switch (problem) {
        case RowProblem::invalidPort: return text + L"TCP selected but port is invalid.";
        case RowProblem::unstorableHost:
            return text + L"the host name holds characters that cannot be stored.";
        case RowProblem::none: break;
    }
    return {};
}
