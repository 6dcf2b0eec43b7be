// Ends the interactive program in order when SIGINT, SIGTERM or SIGHUP comes: its loop is
// asked to end, the page is told, and the shutdown removes the working folder.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tarvenox {

// Blocks the three signals in the calling thread and in every thread it starts from now
// on (make the watcher before the server's threads), and takes them on a thread of its
// own. The first signal calls the end request set with onSignal; when the program has
// not ended within the grace period, or a second signal comes, or no request is set, the
// registered temporary paths are removed and the process ends with 128 + the signal, as
// an interrupted command does.
class SignalWatcher {
public:
    explicit SignalWatcher(std::chrono::milliseconds grace = std::chrono::seconds(10));
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // Called on the watcher's thread; must be safe there. An empty function clears it.
    void onSignal(std::function<void()> requestEnd);
    // The signal that asked the program to end; 0 for none.
    int signalReceived() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tarvenox
