// A template's edit history: which changes make a step, typing joined into one, undo
// and redo, and what counts as unsaved.
#include "edit/EditHistory.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

using namespace std::chrono_literals;
using Clock = EditHistory::Clock;

EditState withTexts(std::string title, std::string count = "3") {
    EditState state;
    state.variables = {{"title", std::move(title)}, {"count", std::move(count)}};
    state.background = 0x102030;
    return state;
}

TEST(EditHistory, TypingOneTextIsOneStepUntilAPauseOrAnotherChange) {
    const Clock::time_point t0{};
    struct Change {
        EditState state;
        Clock::duration at;
        bool recorded;
        std::size_t undoSteps;  // the steps back to the start after it
    };
    EditState pictured = withTexts("Hal");
    pictured.pictures["logo"] = "/p.png";
    EditState pictured2 = pictured;
    pictured2.variables[0].second = "Hal!";
    const Change changes[] = {
        {withTexts("H"), 0s, true, 1},
        {withTexts("Ha"), 1s, true, 1},        // the same text within the pause: joined
        {withTexts("Ha"), 1500ms, false, 1},   // nothing changed
        {withTexts("Hal"), 2900ms, true, 1},   // counted from the last keystroke
        {withTexts("Hal", "4"), 3s, true, 2},  // another variable: a step of its own
        {withTexts("Hal", "42"), 3500ms, true, 2},
        {withTexts("Hal", "42"), 3600ms, false, 2},
        {withTexts("Hal", "421"), 6s, true, 3},  // after a pause
        {pictured, 6100ms, true, 4},             // a picture and a text: a step of its own
        {pictured2, 6200ms, true, 5},            // the text alone after a non-typing step
    };
    EditHistory history(withTexts("Hallo"));
    for (const Change& change : changes) {
        EXPECT_EQ(history.record(change.state, t0 + change.at), change.recorded)
            << std::chrono::duration_cast<std::chrono::milliseconds>(change.at).count();
        EditHistory copy = history;
        std::size_t steps = 0;
        while (copy.undo() != nullptr) ++steps;
        EXPECT_EQ(steps, change.undoSteps) << std::chrono::duration_cast<std::chrono::milliseconds>(change.at).count();
        EXPECT_EQ(copy.current(), withTexts("Hallo"));
    }
}

TEST(EditHistory, UndoAndRedoWalkTheStepsAndANewChangeDropsWhatWasUndone) {
    const Clock::time_point t0{};
    EditHistory history(withTexts("a"));
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(history.undo(), nullptr);
    history.record(withTexts("b"), t0);
    history.record(withTexts("b", "4"), t0 + 10s);
    ASSERT_NE(history.undo(), nullptr);
    EXPECT_EQ(history.current(), withTexts("b"));
    EXPECT_TRUE(history.canRedo());
    // Typing the same text right after an undo is a new step: the undone one stays undoable.
    history.record(withTexts("bc"), t0 + 10500ms);
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.redo(), nullptr);
    ASSERT_NE(history.undo(), nullptr);
    EXPECT_EQ(history.current(), withTexts("b"));
    ASSERT_NE(history.undo(), nullptr);
    EXPECT_EQ(history.current(), withTexts("a"));
    ASSERT_NE(history.redo(), nullptr);
    EXPECT_EQ(history.current(), withTexts("b"));
}

TEST(EditHistory, UnsavedIsAStateOtherThanTheLastSavedOne) {
    const Clock::time_point t0{};
    EditHistory history(withTexts("a"));
    EXPECT_FALSE(history.unsaved());  // a template not touched has nothing to lose
    history.record(withTexts("b"), t0);
    EXPECT_TRUE(history.unsaved());
    history.undo();
    EXPECT_FALSE(history.unsaved());  // back where it started
    history.redo();
    history.markSaved();
    EXPECT_FALSE(history.unsaved());
    history.record(withTexts("b", "9"), t0 + 5s);
    EXPECT_TRUE(history.unsaved());
    history.undo();
    EXPECT_FALSE(history.unsaved());
}

}  // namespace
}  // namespace tarvenox
