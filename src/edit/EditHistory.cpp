// The edit history of one template.
#include "edit/EditHistory.h"

namespace tarvenox {

namespace {

// The one variable whose text alone differs between the states; "" when anything else
// differs too, or more than one text, or nothing.
std::string onlyTextChanged(const EditState& before, const EditState& after) {
    if (before.fonts != after.fonts || before.pictures != after.pictures || before.sounds != after.sounds ||
        before.background != after.background || before.variables.size() != after.variables.size()) {
        return "";
    }
    std::string changed;
    for (std::size_t i = 0; i < after.variables.size(); ++i) {
        if (before.variables[i] == after.variables[i]) continue;
        if (!changed.empty() || before.variables[i].first != after.variables[i].first) return "";
        changed = after.variables[i].first;
    }
    return changed;
}

}  // namespace

EditHistory::EditHistory(EditState initial) : saved_(initial) { steps_.push_back({std::move(initial), "", {}}); }

bool EditHistory::record(EditState state, Clock::time_point now) {
    if (state == current()) return false;
    steps_.resize(current_ + 1);
    Step& last = steps_.back();
    const std::string typed = onlyTextChanged(last.state, state);
    if (current_ > 0 && !typed.empty() && typed == last.typed && now - last.at < typingPause) {
        last.state = std::move(state);
        last.at = now;
        return true;
    }
    steps_.push_back({std::move(state), typed, now});
    ++current_;
    return true;
}

const EditState* EditHistory::undo() {
    if (!canUndo()) return nullptr;
    // A step returned to is never extended by the typing that follows.
    steps_[current_].typed.clear();
    --current_;
    steps_[current_].typed.clear();
    return &current();
}

const EditState* EditHistory::redo() {
    if (!canRedo()) return nullptr;
    ++current_;
    steps_[current_].typed.clear();
    return &current();
}

}  // namespace tarvenox
