// Ends the interactive program in order on a termination signal.
#include "app/SignalWatcher.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>

#include "common/TemporaryPaths.h"

namespace tarvenox {

namespace {

// The signals that end the program, and the one the destructor wakes the thread with.
sigset_t watchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGUSR2}) sigaddset(&set, sig);
    return set;
}

[[noreturn]] void endNow(int sig) {
    removeRegisteredTemporaryPaths();
    _exit(128 + sig);
}

}  // namespace

struct SignalWatcher::State {
    sigset_t signals = watchedSignals();
    sigset_t previous{};
    std::chrono::milliseconds grace;
    std::mutex mutex;
    std::function<void()> requestEnd;
    bool stopping = false;
    std::atomic<int> received{0};
    std::thread thread;

    void watch() {
        int sig = 0;
        while (::sigwait(&signals, &sig) == 0) {
            std::function<void()> request;
            {
                std::lock_guard lock(mutex);
                if (stopping) return;
                request = requestEnd;
            }
            if (sig == SIGUSR2) continue;
            if (!request) endNow(sig);
            received = sig;
            request();
            // The program has the grace period to end; a second signal ends it at once.
            timespec wait{static_cast<time_t>(grace.count() / 1000), static_cast<long>(grace.count() % 1000) * 1000000};
            for (;;) {
                siginfo_t info{};
                const int next = ::sigtimedwait(&signals, &info, &wait);
                if (next == SIGUSR2) {
                    std::lock_guard lock(mutex);
                    if (stopping) return;
                    continue;
                }
                if (next > 0) endNow(next);
                if (errno == EINTR) continue;
                endNow(sig);
            }
        }
    }
};

SignalWatcher::SignalWatcher(std::chrono::milliseconds grace) : state_(std::make_unique<State>()) {
    state_->grace = grace;
    ::pthread_sigmask(SIG_BLOCK, &state_->signals, &state_->previous);
    state_->thread = std::thread([state = state_.get()] { state->watch(); });
}

SignalWatcher::~SignalWatcher() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    ::pthread_kill(state_->thread.native_handle(), SIGUSR2);
    state_->thread.join();
    // A signal that came meanwhile is delivered now, to the handlers of the command line.
    ::pthread_sigmask(SIG_SETMASK, &state_->previous, nullptr);
}

int SignalWatcher::signalReceived() const { return state_->received; }

void SignalWatcher::onSignal(std::function<void()> requestEnd) {
    std::lock_guard lock(state_->mutex);
    state_->requestEnd = std::move(requestEnd);
}

}  // namespace tarvenox
