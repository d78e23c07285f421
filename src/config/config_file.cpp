#include "config/config_file.h"

#include <algorithm>
#include <optional>

#include "model/text_file.h"

namespace {

constexpr std::wstring_view targetOpenTag = L"<target>";
constexpr std::wstring_view targetCloseTag = L"</target>";

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

void appendElement(std::wstring& text, std::wstring_view name, std::wstring_view value) {
    text += L"      <";
    text += name;
    text += L'>';
    text += value;
    text += L"</";
    text += name;
    text += L">\n";
}

void appendBlock(std::wstring& text, std::size_t slot, const Target& target) {
    text += L"    <target>\n";
    appendElement(text, L"slot", std::to_wstring(slot));
    appendElement(text, L"enabled", target.enabled ? L"1" : L"0");
    appendElement(text, L"type", escapeXml(probeTypeText(target.type)));
    appendElement(text, L"host", escapeXml(target.host));
    appendElement(text, L"port", std::to_wstring(static_cast<unsigned>(target.port)));
    appendElement(text, L"interval", std::to_wstring(target.interval));
    text += L"    </target>\n";
}

// The entity that escapeXml writes for `c`, or null when `c` is written as it is.
const wchar_t* entityFor(wchar_t c) {
    switch (c) {
        case L'"': return L"&quot;";
        case L'&': return L"&amp;";
        case L'\'': return L"&apos;";
        case L'<': return L"&lt;";
        case L'>': return L"&gt;";
        default: return nullptr;
    }
}

// One pass of unescapeXml: every `entity`, from the start, becomes `character`; the search
// goes on just after the character put in, so the pass never reads its own output.
std::wstring replaceEntity(const std::wstring& text, std::wstring_view entity, wchar_t character) {
    std::wstring result;
    result.reserve(text.size());
    std::size_t position = 0;
    for (std::size_t found = text.find(entity); found != std::wstring::npos;
         found = text.find(entity, position)) {
        result.append(text, position, found - position);
        result += character;
        position = found + entity.size();
    }
    result.append(text, position);
    return result;
}

bool extractTagValue(std::wstring_view block, std::wstring_view name, std::wstring& value) {
    std::wstring openTag = L"<";
    openTag += name;
    openTag += L'>';
    std::wstring closeTag = L"</";
    closeTag += name;
    closeTag += L'>';
    const std::size_t open = block.find(openTag);
    const std::size_t close = block.find(closeTag);
    if (open == std::wstring_view::npos || close == std::wstring_view::npos) return false;
    const std::size_t start = open + openTag.size();
    if (close < start) return false;
    value = unescapeXml(trimBlanks(block.substr(start, close - start)));
    return true;
}

ProbeType parseProbeType(std::wstring_view text) {
    std::wstring word = trimBlanks(text);
    for (wchar_t& c : word) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return word == L"tcp" ? ProbeType::tcp : ProbeType::icmp;
}

// The element's value, or nullopt when the block lacks the element.
std::optional<std::wstring> elementValue(std::wstring_view block, std::wstring_view name) {
    std::wstring value;
    if (!extractTagValue(block, name, value)) return std::nullopt;
    return value;
}

// The record one block describes (its slot is chosen by the caller).
Target readTargetBlock(std::wstring_view block) {
    Target target;
    target.type = parseProbeType(elementValue(block, L"type").value_or(L""));
    target.host = trimBlanks(elementValue(block, L"host").value_or(L""));
    // The low 16 bits of the 32-bit number: 65536 gives 0, -1 gives 65535.
    const auto port =
        static_cast<std::uint32_t>(parseInt32(elementValue(block, L"port").value_or(L"")));
    target.port = static_cast<std::uint16_t>(port & 0xFFFFu);
    const std::int32_t interval = parseInt32(elementValue(block, L"interval").value_or(L""));
    target.interval = interval > 0 ? interval : 10;
    if (const auto enabled = elementValue(block, L"enabled")) {
        target.enabled = parseInt32(*enabled) != 0;
    }
    return target;
}

}  // namespace

std::wstring configDocumentText(const std::vector<Target>& targets) {
    std::wstring text;
    text.reserve(5000);
    text += L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    text += L"<config>\n";
    text += L"  <targets>\n";
    const Target fresh;
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        appendBlock(text, slot, slot < targets.size() ? targets[slot] : fresh);
    }
    text += L"  </targets>\n";
    text += L"</config>\n";
    return text;
}

bool writeConfigFile(const std::wstring& path, const std::vector<Target>& targets) {
    return replaceTextFile(path, configDocumentText(targets));
}

ConfigReadStatus readConfigText(std::wstring_view text, std::vector<Target>& targets) {
    targets.assign(targetSlotCount, Target{});
    if (text.empty()) return ConfigReadStatus::empty;

    constexpr auto npos = std::wstring_view::npos;
    bool anyBlock = false;
    std::int64_t counter = 0;  // numbers the blocks without a "slot" element, in file order
    std::size_t open = text.find(targetOpenTag);
    std::size_t close = text.find(targetCloseTag);
    while (open != npos && close != npos) {
        if (close < open) {
            // Damaged: a "</target>" before the next "<target>". The scan skips it and goes
            // on after it; "<target>" cannot overlap it, so `open` is still the next one.
            close = text.find(targetCloseTag, close + targetCloseTag.size());
            continue;
        }
        anyBlock = true;
        const std::size_t end = close + targetCloseTag.size();
        const std::wstring_view block = text.substr(open, end - open);
        const Target target = readTargetBlock(block);
        std::int64_t slot = 0;
        if (const auto named = elementValue(block, L"slot")) {
            slot = parseInt32(*named);
        } else {
            slot = counter++;
        }
        if (slot >= 0 && slot < static_cast<std::int64_t>(targetSlotCount)) {
            targets[static_cast<std::size_t>(slot)] = target;
        }
        open = text.find(targetOpenTag, end);
        close = text.find(targetCloseTag, end);
    }
    return anyBlock ? ConfigReadStatus::read : ConfigReadStatus::noTargetBlocks;
}

ConfigReadStatus readConfigFileStatus(const std::wstring& path, std::vector<Target>& targets) {
    targets.assign(targetSlotCount, Target{});
    const std::optional<std::wstring> text = tryReadTextFile(path, configFileLimit);
    if (!text) return pathExists(path) ? ConfigReadStatus::unreadable : ConfigReadStatus::missing;
    return readConfigText(*text, targets);
}

std::wstring escapeXml(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        if (const wchar_t* entity = entityFor(c)) {
            result += entity;
        } else {
            result += c;
        }
    }
    return result;
}

std::wstring unescapeXml(std::wstring text) {
    if (text.find(L'&') == std::wstring::npos) return text;
    // "&amp;" last, so that an escaped entity name ("&amp;lt;") is decoded only once.
    text = replaceEntity(text, L"&lt;", L'<');
    text = replaceEntity(text, L"&gt;", L'>');
    text = replaceEntity(text, L"&quot;", L'"');
    text = replaceEntity(text, L"&apos;", L'\'');
    return replaceEntity(text, L"&amp;", L'&');
}

std::wstring trimBlanks(std::wstring_view text) {
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::wstring(first, last) : std::wstring();
}

std::int32_t parseInt32(std::wstring_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // The magnitude, held at 2^31 once it gets there: enough to saturate either way.
    constexpr std::int64_t limit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        magnitude = std::min(magnitude * 10 + (text[i] - L'0'), limit);
    }
    return static_cast<std::int32_t>(negative ? -magnitude : std::min(magnitude, limit - 1));
}
