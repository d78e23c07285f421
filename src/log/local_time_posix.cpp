#include "log/local_time.h"

#include <ctime>

LocalTime readLocalTime() {
    std::timespec now{};
    std::timespec_get(&now, TIME_UTC);
    std::tm parts{};
    localtime_r(&now.tv_sec, &parts);
    return {static_cast<unsigned>(parts.tm_year + 1900),   static_cast<unsigned>(parts.tm_mon + 1),
            static_cast<unsigned>(parts.tm_mday),          static_cast<unsigned>(parts.tm_hour),
            static_cast<unsigned>(parts.tm_min),           static_cast<unsigned>(parts.tm_sec),
            static_cast<unsigned>(now.tv_nsec / 1'000'000)};
}
