#include "app/target_details.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <vector>

#include "model/clock.h"

const wchar_t* const detailsRowHeader =
    L"host\tprotocol\tstate\tsince\tlast\tmedian\t95 %\tlargest\tanswered\tkept";

namespace {

constexpr std::int64_t secondsPerDay = 24 * 60 * 60;

// The value at nearest rank `percent` of `sorted` (not empty): the smallest value that at
// least `percent` % of them do not exceed.
std::uint32_t nearestRank(const std::vector<std::uint32_t>& sorted, std::size_t percent) {
    const std::size_t rank = (percent * sorted.size() + 99) / 100;
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

void addRoundTrips(const Target& target, TargetDetails& details) {
    std::vector<std::uint32_t> times;
    times.reserve(target.roundTrips.size());
    std::copy_if(target.roundTrips.begin(), target.roundTrips.end(), std::back_inserter(times),
                 [](std::uint32_t micros) { return micros != noRoundTrip; });
    if (times.empty()) return;
    details.last = times.back();
    std::sort(times.begin(), times.end());
    details.median = nearestRank(times, 50);
    details.percentile95 = nearestRank(times, 95);
    details.largest = times.back();
}

// "2,500": digits in groups of three.
std::wstring groupedNumber(std::size_t number) {
    std::wstring text = std::to_wstring(number);
    for (std::size_t at = text.size(); at > 3; at -= 3) text.insert(at - 3, L",");
    return text;
}

std::wstring timeOfDayText(std::int32_t second) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"%02d:%02d:%02d", second / 3600, second / 60 % 60,
                  second % 60);
    return text;
}

// Tenths of a percent, rounded, but never a whole 100 % or a bare 0 % that the counts deny.
std::size_t answeredPermille(std::size_t answered, std::size_t kept) {
    const std::size_t permille = (answered * 1000 + kept / 2) / kept;
    if (answered == kept) return permille;
    return std::clamp<std::size_t>(permille, answered == 0 ? 0 : 1, 999);
}

const wchar_t* stateWord(OutageState state) {
    if (state == OutageState::up) return L"up";
    return state == OutageState::down ? L"down" : L"not known yet";
}

std::wstring sinceText(const TargetDetails& details) {
    if (details.state == OutageState::unknown) return L"-";
    return timeOfDayText(details.sinceSecond);
}

}  // namespace

TargetDetails targetDetailsOf(const Target& target, std::int64_t now, const LocalTime& localNow) {
    TargetDetails details;
    details.host = target.host;
    details.protocol = protocolText(target);
    details.state = target.outage.state;
    details.lasted = std::max<std::int64_t>(now - target.outage.since, 0);
    // In milliseconds, so that two reads a moment apart name the same second.
    const std::int64_t nowMs =
        (localNow.hour * 3600 + localNow.minute * 60 + localNow.second) * 1000 +
        localNow.millisecond;
    const std::int64_t began = nowMs - details.lasted / 1'000'000;
    const std::int64_t msPerDay = secondsPerDay * 1000;
    details.sinceSecond =
        static_cast<std::int32_t>((began % msPerDay + msPerDay) % msPerDay / 1000);
    addRoundTrips(target, details);
    details.kept = target.history.size();
    details.answered = static_cast<std::size_t>(std::count_if(
        target.history.begin(), target.history.end(), [](std::uint8_t r) { return r != 0; }));
    details.outages = target.outage.outages;
    return details;
}

std::wstring roundTripText(std::uint32_t micros) {
    if (micros == noRoundTrip) return L"-";
    if (micros < 100) return L"<0.1 ms";
    const std::wstring whole = std::to_wstring(micros / 1000);
    if (micros >= 10'000) return whole + L" ms";
    return whole + L"." + std::to_wstring(micros / 100 % 10) + L" ms";
}

std::wstring stateText(const TargetDetails& details) {
    if (details.state == OutageState::unknown) return stateWord(details.state);
    std::wstring text = stateWord(details.state) + (L" since " + sinceText(details));
    if (details.state == OutageState::down) text += L" (" + durationText(details.lasted) + L")";
    return text;
}

std::wstring answeredText(const TargetDetails& details) {
    const std::wstring text =
        groupedNumber(details.answered) + L" of " + groupedNumber(details.kept) + L" answered";
    if (details.kept == 0) return text;
    const std::size_t permille = answeredPermille(details.answered, details.kept);
    return text + L", " + std::to_wstring(permille / 10) + L"." + std::to_wstring(permille % 10) +
           L" %";
}

std::wstring detailsText(const TargetDetails& details) {
    std::wstring times = L"no answer kept";
    if (details.last != noRoundTrip) {
        times = L"last " + roundTripText(details.last) + L", median " +
                roundTripText(details.median) + L", 95 % " + roundTripText(details.percentile95) +
                L", largest " + roundTripText(details.largest);
    }
    return details.host + L" " + details.protocol + L"\r\n" + stateText(details) +
           L"\r\nround trip: " + times + L"\r\n" + answeredText(details) +
           L"\r\noutages since the table was loaded: " + std::to_wstring(details.outages);
}

std::wstring spokenDetails(const TargetDetails& details) {
    if (details.last == noRoundTrip) return stateText(details);
    return L"last " + roundTripText(details.last) + L", median " + roundTripText(details.median) +
           L"; " + stateText(details);
}

std::wstring detailsRow(const TargetDetails& details) {
    const std::wstring fields[] = {details.host,
                                   details.protocol,
                                   stateWord(details.state),
                                   sinceText(details),
                                   roundTripText(details.last),
                                   roundTripText(details.median),
                                   roundTripText(details.percentile95),
                                   roundTripText(details.largest),
                                   std::to_wstring(details.answered),
                                   std::to_wstring(details.kept)};
    std::wstring row = fields[0];
    for (std::size_t i = 1; i < std::size(fields); ++i) row += L"\t" + fields[i];
    return row;
}
