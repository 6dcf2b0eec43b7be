// The user's events as the dialogs take them: a modal window runs its own loop and holds
// back the events meant for the window below it, which get them, in order, when it
// closes.
#pragma once

#include <deque>
#include <optional>

#include "ui/WindowSystem.h"

namespace tarvenox {

class UiEvents {
public:
    explicit UiEvents(WindowSystem& windows) : windows_(windows) {}

    // The next event of the main window's loop: a held one first, else the window
    // system's (idle once until has passed, if given).
    UiEvent next(std::optional<std::chrono::steady_clock::time_point> until = std::nullopt) {
        if (held_.empty()) return until ? windows_.nextEventUntil(*until) : windows_.nextEvent();
        UiEvent event = std::move(held_.front());
        held_.pop_front();
        return event;
    }
    // The next event of a modal window's loop, which holds back what is not its own.
    UiEvent fresh() { return windows_.nextEvent(); }
    // Keeps an event for the main window's loop.
    void hold(UiEvent event) { held_.push_back(std::move(event)); }

private:
    WindowSystem& windows_;
    std::deque<UiEvent> held_;
};

}  // namespace tarvenox
