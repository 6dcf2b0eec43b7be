// Action bytes of the tools' movies, against records built by hand.
#include "Actions.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

using tools::Actions;

struct ActionCase {
    const char* name;
    Actions actions;
    Bytes expected;
};

TEST(Actions, WritesTheRecordsAndBranchesByHand) {
    const Actions flag = Actions().getVariable("a");
    const ActionCase cases[] = {
        // if (a) play(); else stop();
        {"if with else", Actions().ifElse(flag, Actions().op(action::kPlay), Actions().op(action::kStop)),
         {0x96, 0x03, 0x00, 0x00, 'a', 0x00,  // ActionPush "a"
          0x1C,                               // ActionGetVariable
          0x12,                               // ActionNot
          0x9D, 0x02, 0x00, 0x06, 0x00,       // ActionIf +6: over ActionPlay and the jump
          0x06,                               // ActionPlay
          0x99, 0x02, 0x00, 0x01, 0x00,       // ActionJump +1: over ActionStop
          0x07}},                             // ActionStop
        // if (a) play(); with no else: no jump.
        {"if alone", Actions().ifElse(flag, Actions().op(action::kPlay)),
         {0x96, 0x03, 0x00, 0x00, 'a', 0x00, 0x1C, 0x12, 0x9D, 0x02, 0x00, 0x01, 0x00, 0x06}},
        // fscommand("go", a): the URL, then the argument as the window of ActionGetURL2.
        {"fscommand with a variable", Actions().fsCommand("go", flag),
         {0x96, 0x0E, 0x00, 0x00, 'F', 'S', 'C', 'o', 'm', 'm', 'a', 'n', 'd', ':', 'g', 'o', 0x00,
          0x96, 0x03, 0x00, 0x00, 'a', 0x00, 0x1C,
          0x9A, 0x01, 0x00, 0x00}},  // ActionGetURL2, no flags
        // loadVariables("t.txt", "c"): LoadVariablesFlag and LoadTargetFlag, method 0.
        {"loadVariables", Actions().loadVariables("t.txt", "c"),
         {0x96, 0x0A, 0x00, 0x00, 't', '.', 't', 'x', 't', 0x00, 0x00, 'c', 0x00,
          0x9A, 0x01, 0x00, 0xC0}},
        // c._visible = 1 < 2: the target, property 7 and the value, then ActionSetProperty.
        {"setVisible", Actions().setVisible("c", Actions().push({1, 2}).op(action::kLess)),
         {0x96, 0x08, 0x00, 0x00, 'c', 0x00, 0x07, 0x07, 0x00, 0x00, 0x00,
          0x96, 0x0A, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x07, 0x02, 0x00, 0x00, 0x00,
          0x0F, 0x23}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actions.bytes(), c.expected) << c.name;
}

TEST(Actions, RefusesABranchLongerThanAJump) {
    Actions longBranch;
    for (int i = 0; i < 40000; ++i) longBranch.op(action::kPlay);
    EXPECT_THROW(Actions().ifElse(Actions().push({true}), longBranch), std::runtime_error);
    EXPECT_THROW(Actions().ifElse(Actions().push({true}), {}, longBranch), std::runtime_error);
}

}  // namespace
}  // namespace tarvenox
