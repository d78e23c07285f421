#pragma once
// Outage notices gathered into balloons: every notice that arrives within two seconds of the
// first one goes into one balloon, since Windows shows each balloon it is given, in turn.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/outage.h"

constexpr std::int64_t balloonGatherNanos = 2'000'000'000;

// Within the shell's limits: a title of at most 63 characters, a text of at most 255.
struct Balloon {
    std::wstring title;
    std::wstring text;
    bool warning = false;  // the warning icon; the information icon otherwise
};

class BalloonGatherer {
public:
    // The first notice of a group opens its two-second window.
    void add(OutageNotice notice, std::int64_t now);
    // When the waiting group is to be shown (steady-clock ns); 0 when nothing waits.
    std::int64_t dueAt() const;
    // The one balloon for the whole group once `now` has reached dueAt(), and the group is
    // gone; nothing before. `allDown`: every target in use is down now (two or more in use).
    std::optional<Balloon> take(std::int64_t now, bool allDown);

private:
    std::vector<OutageNotice> waiting_;
    std::int64_t dueAt_ = 0;
};
