#include "alert/alert_balloons.h"

#include <algorithm>
#include <utility>

namespace {

// The shell's limit for a balloon's text; the titles here stay far below their 63.
constexpr std::size_t textLimit = 255;

std::wstring sentence(const OutageNotice& notice) {
    if (notice.event == OutageEvent::down) return notice.name + L" is down";
    if (notice.event == OutageEvent::up) {
        return notice.name + L" answers again after " + durationText(notice.lasted);
    }
    return notice.name + L" is unstable: " + std::to_wstring(notice.changes) +
           L" changes in 10 min";
}

// One line each. A list too long for a balloon ends with "..." after its last whole line; a
// first line too long by itself is cut, and the "..." shows it.
std::wstring listText(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::wstring longer = i == 0 ? lines[i] : text + L"\n" + lines[i];
        const bool last = i + 1 == lines.size();
        if (longer.size() + (last ? 0 : 4) > textLimit) {  // room for "\n..." after it
            if (i == 0) return lines[0].substr(0, textLimit - 3) + L"...";
            return text + L"\n...";
        }
        text = std::move(longer);
    }
    return text;
}

std::wstring nameOnly(const OutageNotice& notice) { return notice.name; }

std::wstring nameAndDuration(const OutageNotice& notice) {
    return notice.name + L" after " + durationText(notice.lasted);
}

Balloon balloonOf(const std::vector<OutageNotice>& notices) {
    const auto all = [&](OutageEvent event) {
        return std::all_of(notices.begin(), notices.end(),
                           [&](auto& n) { return n.event == event; });
    };
    const std::wstring count = std::to_wstring(notices.size());
    std::wstring title = count + L" changes";
    std::wstring (*line)(const OutageNotice&) = sentence;
    if (notices.size() == 1) {
        const OutageEvent event = notices[0].event;
        title = event == OutageEvent::down ? L"Target down"
                : event == OutageEvent::up ? L"Target answers again"
                                           : L"Target unstable";
    } else if (all(OutageEvent::down)) {
        title = count + L" targets down";
        line = nameOnly;
    } else if (all(OutageEvent::up)) {
        title = count + L" targets answer again";
        line = nameAndDuration;
    }
    std::vector<std::wstring> lines;
    for (const OutageNotice& notice : notices) lines.push_back(line(notice));
    return {title, listText(lines), !all(OutageEvent::up)};
}

}  // namespace

void BalloonGatherer::add(OutageNotice notice, std::int64_t now) {
    if (waiting_.empty()) dueAt_ = now + balloonGatherNanos;
    waiting_.push_back(std::move(notice));
}

std::int64_t BalloonGatherer::dueAt() const { return waiting_.empty() ? 0 : dueAt_; }

std::optional<Balloon> BalloonGatherer::take(std::int64_t now, bool allDown) {
    if (waiting_.empty() || now < dueAt_) return std::nullopt;
    Balloon balloon =
        allDown ? Balloon{L"No target answers", L"No target answers: the network may be down", true}
                : balloonOf(waiting_);
    waiting_.clear();
    dueAt_ = 0;
    return balloon;
}
