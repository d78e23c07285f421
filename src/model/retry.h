#pragma once
// Trying again what another process holds up for a moment.

#include <chrono>
#include <thread>

#include "model/file_system.h"

// Calls `attempt` until it answers other than FileOutcome::held or `limit` has passed,
// sleeping `step` between calls; the last answer.
template <typename Attempt>
FileOutcome retryWhileHeld(std::chrono::milliseconds limit, std::chrono::milliseconds step,
                           Attempt attempt) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const FileOutcome outcome = attempt();
        if (outcome != FileOutcome::held || std::chrono::steady_clock::now() >= end) {
            return outcome;
        }
        std::this_thread::sleep_for(step);
    }
}
