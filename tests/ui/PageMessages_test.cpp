// Reading what the page answers and reports: anything it must not say counts as cancelled.
#include "ui/web/PageMessages.h"

#include <gtest/gtest.h>

namespace tarvenox::web {
namespace {

TEST(PageMessages, AnswersOfTheWrongKindReadAsCancelled) {
    // A cancelled call, null, and values no reader takes.
    for (const Answer& answer : {Answer(), Answer(Message()), Answer(true), Answer(1.5), Answer(Message::array()),
                                 Answer(Message::object())}) {
        CustomColors custom;
        custom.fill(7);
        EXPECT_EQ(screenSizeAnswer(answer), ScreenSize{});
        EXPECT_EQ(getVariableAnswer(answer), std::nullopt);
        EXPECT_EQ(getVariablesAnswer(answer, 1), std::vector<std::optional<std::string>>(1));
        EXPECT_EQ(flashVersionAnswer(answer), 0);
        EXPECT_EQ(messageBoxAnswer(answer), MessageAnswer::cancel);
        EXPECT_EQ(chooseColorAnswer(answer, custom), std::nullopt);
        EXPECT_EQ(custom[0], 7);
        EXPECT_FALSE(chooseFontAnswer(answer));
        EXPECT_EQ(chosenPathAnswer(answer), std::nullopt);
    }
}

TEST(PageMessages, AnswersOutOfRangeOrIncompleteReadAsCancelled) {
    EXPECT_EQ(flashVersionAnswer(Message(-1)), 0);
    EXPECT_EQ(flashVersionAnswer(Message(std::uint64_t{1} << 40)), 0);
    EXPECT_EQ(screenSizeAnswer(Message{{"width", 1280}, {"height", 0}}), ScreenSize{});
    EXPECT_EQ(messageBoxAnswer(Message("maybe")), MessageAnswer::cancel);
    EXPECT_FALSE(chooseFontAnswer(Message{{"face", "Arial"}, {"bold", 1}, {"italic", false}, {"pointTenths", 100}}));
    EXPECT_EQ(chosenPathAnswer(Message("")), std::nullopt);
    // The custom colours are taken only whole and valid.
    CustomColors custom;
    custom.fill(7);
    std::vector<std::int64_t> fifteen(15, 0), outOfRange(16, 0);
    outOfRange[15] = 0x1000000;
    for (const auto& colors : {fifteen, outOfRange}) {
        EXPECT_EQ(chooseColorAnswer(Message{{"color", 0x1000000}, {"customColors", colors}}, custom), std::nullopt);
    }
    EXPECT_EQ(custom[15], 7);
}

TEST(PageMessages, MalformedEventsAreNoUserAction) {
    for (const char* event : {
             R"({"type":"fsCommand","player":"stage","command":"apply","args":""})",
             R"({"type":"fsCommand","command":"apply","args":""})",
             R"({"type":"fsCommand","player":"skin","command":7,"args":""})",
             R"({"type":"fsCommand","player":"skin","command":"apply","args":null})",
             R"({"type":"escape","window":"dialog"})",
             R"({"type":"pageGone"})",
         }) {
        EXPECT_FALSE(uiEventOf(Message::parse(event))) << event;
    }
}

}  // namespace
}  // namespace tarvenox::web
