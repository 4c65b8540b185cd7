#pragma once

#include <functional>
#include <memory>

namespace screens {

// Work handed to a thread kept for it, beside the drawing; wait() takes the work back and runs it
// on the calling thread when that thread has not started it yet (the machine being busy), so the
// caller never waits for a thread that waits for a processor. The work writes its results into
// storage of the caller's, which may read them once wait() returns.
class SideTask {
public:
    explicit SideTask(std::function<void()> work);
    ~SideTask() { wait(); }
    SideTask(const SideTask&) = delete;
    SideTask& operator=(const SideTask&) = delete;

    void wait();

    // Work for the same thread that nobody waits for: the computers of things wanted soon.
    static void runAside(std::function<void()> work);

private:
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace screens
