#include "gui/app/BackgroundJob.h"

#include <QMetaObject>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace kestrel::gui {

// Shared by the owner and the thread: whichever ends last frees it.
struct BackgroundJob::State : BackgroundJob::Context {
    std::mutex mutex;
    std::condition_variable finishedSignal;
    QObject* receiver = nullptr; // null once the owner is gone
    bool finished = false;
    std::atomic<bool> stop{false};

    void post(std::function<void()> toGui) override
    {
        // Under the lock: the owner cannot go between the check and the posting, and a
        // posted call to an object that is then destroyed is dropped by Qt.
        const std::lock_guard lock(mutex);
        if (receiver != nullptr)
            QMetaObject::invokeMethod(receiver, std::move(toGui), Qt::QueuedConnection);
    }
    bool cancelled() const override { return stop.load(); }
};

BackgroundJob::BackgroundJob(QObject* receiver, std::chrono::milliseconds finishWait)
    : receiver_(receiver), finishWait_(finishWait)
{
}

BackgroundJob::~BackgroundJob()
{
    if (!thread_.joinable())
        return;
    std::unique_lock lock(state_->mutex);
    state_->receiver = nullptr;
    state_->stop = true;
    const bool finished = state_->finishedSignal.wait_for(lock, finishWait_, [this] { return state_->finished; });
    lock.unlock();
    // Work stuck in a network call that does not return is left to end with the process;
    // it holds nothing of the owner's.
    if (finished)
        thread_.join();
    else
        thread_.detach();
}

bool BackgroundJob::start(std::function<void(Context&)> work, std::function<void()> finished)
{
    if (running_)
        return false;
    if (thread_.joinable())
        thread_.join(); // ended: its last post has run
    running_ = true;
    state_ = std::make_shared<State>();
    state_->receiver = receiver_;
    thread_ = std::thread([state = state_, work = std::move(work), finished = std::move(finished), this]() mutable {
        try {
            work(*state);
        } catch (...) {
            // The work reports its own failures; one it did not foresee must not end the
            // program from a thread. The owner sees that nothing was reported.
        }
        // `this` is used only on the GUI thread, and only while the receiver (which owns
        // this object) lives.
        state->post([this, finished = std::move(finished)] {
            running_ = false;
            if (finished)
                finished();
        });
        const std::lock_guard lock(state->mutex);
        state->finished = true;
        state->finishedSignal.notify_all();
    });
    return true;
}

} // namespace kestrel::gui
