#include "screens/side_task.h"

#include <QThreadPool>

#include <atomic>
#include <future>

namespace screens {

struct SideTask::State {
    std::function<void()> work;
    std::atomic<bool> taken = false;
    std::promise<void> done;
    void runUnlessTaken()
    {
        if (taken.exchange(true))
            return;
        work();
        done.set_value();
    }
};

namespace {

// One thread, kept for the program's life: starting a thread per design costs more than a
// phase trace's arctangents. Made after the caches that its work fills, it is destroyed before
// them, and its destruction waits for the work in hand.
QThreadPool& sidePool()
{
    static QThreadPool pool;
    static const bool configured = [] {
        pool.setMaxThreadCount(1);
        pool.setExpiryTimeout(-1);
        return true;
    }();
    Q_UNUSED(configured);
    return pool;
}

} // namespace

SideTask::SideTask(std::function<void()> work) : m_state(std::make_shared<State>())
{
    m_state->work = std::move(work);
    sidePool().start([state = m_state] { state->runUnlessTaken(); });
}

void SideTask::wait()
{
    if (!m_state)
        return;
    std::future<void> done = m_state->done.get_future();
    m_state->runUnlessTaken();
    done.wait();
    m_state.reset();
}

void SideTask::runAside(std::function<void()> work) { sidePool().start(std::move(work)); }

} // namespace screens
