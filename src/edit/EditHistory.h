// One template's edits for the session: the steps the user can undo and redo, and
// whether the current step has been saved.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "edit/Conversions.h"

namespace tarvenox {

class EditSession;

// A template's edits at one moment: each variable's text as the user gave it (in the
// template's order), the replacements and the background colour.
struct EditState {
    std::vector<std::pair<std::string, std::string>> variables;
    Replacements fonts;
    Replacements pictures;
    Replacements sounds;
    std::int32_t background = 0;
    bool operator==(const EditState&) const = default;
};

// The selected template's edits as the session holds them.
EditState captureEdits(const EditSession& app);
// Makes the state the session's edits: variable texts by name (a name the template lacks
// is skipped), the replacements and the current background colour.
void restoreEdits(EditSession& app, const EditState& state);

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
