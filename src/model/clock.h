#pragma once
// The time base of all scheduling: the steady clock in signed 64-bit nanoseconds.

#include <chrono>
#include <cstdint>

constexpr std::int64_t nanosPerSecond = 1'000'000'000;

inline std::int64_t steadyNowNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
