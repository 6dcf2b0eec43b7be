// One template's edits for the session: the steps the user can undo and redo, and
// whether the current step has been saved.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "edit/EditState.h"

namespace tarvenox {

class EditHistory {
public:
    using Clock = std::chrono::steady_clock;
    // Text changes of one variable that follow each other within this time are one step.
    static constexpr Clock::duration typingPause = std::chrono::seconds(2);

    // The history of a template whose edits start as initial, which counts as saved: a
    // template that has not been changed has nothing to lose.
    explicit EditHistory(EditState initial);

    // Records the state after a change; false when it is the current state (nothing to
    // record). A change of one variable's text only, following a step that changed the
    // same text alone less than typingPause before, joins that step. Steps that were
    // undone are dropped.
    bool record(EditState state, Clock::time_point now);

    // One step back or forward: the state to restore, nullptr when there is none.
    const EditState* undo();
    const EditState* redo();
    bool canUndo() const { return current_ > 0; }
    bool canRedo() const { return current_ + 1 < steps_.size(); }

    const EditState& current() const { return steps_[current_].state; }
    // The current state has been saved.
    void markSaved() { saved_ = current(); }
    bool unsaved() const { return current() != saved_; }

private:
    struct Step {
        EditState state;
        // The variable whose text alone this step changed ("" for any other change), and
        // when it last did.
        std::string typed;
        Clock::time_point at;
    };

    std::vector<Step> steps_;
    std::size_t current_ = 0;
    EditState saved_;
};

}  // namespace tarvenox
