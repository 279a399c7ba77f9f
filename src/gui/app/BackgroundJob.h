#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace kestrel::gui {

// One piece of work at a time off the GUI thread (a network round trip must not freeze the
// window). What the work posts runs on the GUI thread, and only while `receiver` lives: the
// owner going away drops whatever the work still posts.
class BackgroundJob {
public:
    // What the work sees of its owner.
    class Context {
    public:
        virtual ~Context() = default;
        // Runs `toGui` on the GUI thread, unless the owner is gone by then.
        virtual void post(std::function<void()> toGui) = 0;
        // The owner asked the work to stop (it closes); the work stops where it safely can.
        virtual bool cancelled() const = 0;
    };

    // `finishWait`: how long the owner's end waits for work still running before leaving
    // it to finish on its own.
    explicit BackgroundJob(QObject* receiver, std::chrono::milliseconds finishWait = std::chrono::seconds(20));
    // Cancels running work and waits for it (at most finishWait).
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Starts `work` on a thread of its own; false (nothing started) while earlier work runs.
    // `finished` runs on the GUI thread after the work and everything it posted.
    bool start(std::function<void(Context&)> work, std::function<void()> finished = {});
    bool running() const { return running_; }

private:
    struct State;
    QObject* receiver_;
    std::chrono::milliseconds finishWait_;
    std::shared_ptr<State> state_;
    std::thread thread_;
    bool running_ = false;
};

} // namespace kestrel::gui
