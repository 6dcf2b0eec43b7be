// Action bytes of composed scripts, against records built by hand.
#include "swf/ActionWriter.h"

#include <gtest/gtest.h>

#include "common/Exception.h"

namespace tarvenox {
namespace {

struct ActionCase {
    const char* name;
    ActionWriter actions;
    Bytes expected;
};

TEST(ActionWriter, WritesTheRecordsAndBranchesByHand) {
    const ActionWriter flag = ActionWriter().getVariable("a");
    ActionWriter labelled;
    const auto back = labelled.label();
    labelled.bind(back);
    labelled.op(action::kPlay);
    labelled.jump(back);
    const ActionCase cases[] = {
        // if (a) play(); else stop();
        {"if with else",
         ActionWriter().ifElse(flag, ActionWriter().op(action::kPlay), ActionWriter().op(action::kStop)),
         {0x96, 0x03, 0x00, 0x00, 'a',  0x00,  // ActionPush "a"
          0x1C,                                // ActionGetVariable
          0x12,                                // ActionNot
          0x9D, 0x02, 0x00, 0x06, 0x00,        // ActionIf +6: over ActionPlay and the jump
          0x06,                                // ActionPlay
          0x99, 0x02, 0x00, 0x01, 0x00,        // ActionJump +1: over ActionStop
          0x07}},                              // ActionStop
        // if (a) play(); with no else: no jump.
        {"if alone",
         ActionWriter().ifElse(flag, ActionWriter().op(action::kPlay)),
         {0x96, 0x03, 0x00, 0x00, 'a', 0x00, 0x1C, 0x12, 0x9D, 0x02, 0x00, 0x01, 0x00, 0x06}},
        // A writer with its own branch, appended after other code: the branch still
        // lands on its label (a jump back of 6 bytes, to ActionPlay).
        {"appended branch",
         ActionWriter().op(action::kStop).then(labelled),
         {0x07, 0x06, 0x99, 0x02, 0x00, 0xFA, 0xFF}},
        // fscommand("go", a): the URL, then the argument as the window of ActionGetURL2.
        {"fscommand with a variable",
         ActionWriter().fsCommand("go", flag),
         {0x96, 0x0E, 0x00, 0x00, 'F',  'S',  'C', 'o',  'm',  'm',  'a',  'n',  'd', ':', 'g',
          'o',  0x00, 0x96, 0x03, 0x00, 0x00, 'a', 0x00, 0x1C, 0x9A, 0x01, 0x00, 0x00}},  // ActionGetURL2, no flags
        // loadVariables("t.txt", "c"): LoadVariablesFlag and LoadTargetFlag, method 0.
        {"loadVariables",
         ActionWriter().loadVariables("t.txt", "c"),
         {0x96, 0x0A, 0x00, 0x00, 't', '.', 't', 'x', 't', 0x00, 0x00, 'c', 0x00, 0x9A, 0x01, 0x00, 0xC0}},
        // c._visible = 1 < 2: the target, property 7 and the value, then ActionSetProperty.
        {"setVisible",
         ActionWriter().setVisible("c", ActionWriter().pushValues({1, 2}).op(action::kLess)),
         {0x96, 0x08, 0x00, 0x00, 'c',  0x00, 0x07, 0x07, 0x00, 0x00, 0x00, 0x96, 0x0A,
          0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x07, 0x02, 0x00, 0x00, 0x00, 0x0F, 0x23}},
        // Each kind of value with its push type: boolean, double (upper half first).
        {"typed values",
         ActionWriter().pushValues({true, 1.0}),
         {0x96, 0x0B, 0x00, 0x05, 0x01, 0x06, 0x00, 0x00, 0xF0, 0x3F, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.actions.bytes(), c.expected) << c.name;
        Bytes ended = c.expected;
        ended.push_back(action::kEnd);
        EXPECT_EQ(c.actions.finish(), ended) << c.name;
    }
}

TEST(ActionWriter, RefusesABranchLongerThanAJumpAndTextsWithANul) {
    ActionWriter longBranch;
    for (int i = 0; i < 40000; ++i) longBranch.op(action::kPlay);
    EXPECT_THROW(ActionWriter().ifElse(ActionWriter().pushValues({true}), longBranch).bytes(), Exception);
    EXPECT_THROW(ActionWriter().ifElse(ActionWriter().pushValues({true}), {}, longBranch).bytes(), Exception);
    EXPECT_THROW(ActionWriter().pushValues({std::string("a\0b", 3)}), Exception);
    ActionWriter unbound;
    unbound.jump(unbound.label());
    EXPECT_THROW(unbound.finish(), Exception);
}

}  // namespace
}  // namespace tarvenox
