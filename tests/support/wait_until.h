#pragma once

// Waits on things outside the test's own event loop (other processes, their files and windows)
// by polling for them. Tests with a Qt event loop use QTest::qWaitFor, which also runs the loop.

#include <chrono>
#include <functional>
#include <thread>

namespace testsupport {

// Polls until the condition holds or the time is up; true when it held.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 15000,
                      int intervalMs = 40)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    }
    return true;
}

} // namespace testsupport
