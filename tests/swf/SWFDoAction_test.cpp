// Setting a variable where a DoAction's own script assigns it.
#include "swf/SWFDoAction.h"

#include <gtest/gtest.h>

#include "common/Exception.h"
#include "support/MovieBuilder.h"
#include "swf/SWFType.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::operator+;

// A record with a UI16 length before its payload.
Bytes record(std::uint8_t code, const Bytes& payload) {
    return Bytes{code} + le16(static_cast<std::uint16_t>(payload.size())) + payload;
}
Bytes push(const Bytes& values) { return record(0x96, values); }
Bytes str(const std::string& text) { return Bytes{0x00} + cstr(text); }
Bytes branch(std::uint8_t code, std::int16_t offset) { return record(code, le16(static_cast<std::uint16_t>(offset))); }
const Bytes kSet = {0x1D};
const Bytes kStop = {0x07};
const Bytes kEnd = {0x00};

TEST(SWFDoAction, AssignmentIsChangedInPlaceWithBranchesKeptOnTarget) {
    const SWFStringType hello("title", "Hello");  // "Hello" is 2 bytes longer than "old"
    const SWFIntType three("title", "3");         // an integer is as long as "old"
    struct Case {
        const char* name;
        const SWFType& variable;
        Bytes before;
        Bytes after;
    };
    const Case cases[] = {
        {"name and value pushed apart", hello, push(str("title")) + push(str("old")) + kSet + kStop + kEnd,
         push(str("title")) + push(str("Hello")) + kSet + kStop + kEnd},
        {"name and value in one push, typed value", three, kStop + push(str("title") + str("old")) + kSet + kEnd,
         kStop + push(str("title") + Bytes{0x07, 3, 0, 0, 0}) + kSet + kEnd},
        {"name from the constant pool", hello,
         record(0x88, le16(2) + cstr("x") + cstr("title")) + push(Bytes{0x08, 1} + str("old")) + kSet + kEnd,
         record(0x88, le16(2) + cstr("x") + cstr("title")) + push(Bytes{0x08, 1} + str("Hello")) + kSet + kEnd},
        // ActionIf skips the assignment (15 + 1 bytes); ActionJump goes back to the start.
        {"branches across the value", hello,
         branch(0x9D, 16) + push(str("title") + str("old")) + kSet + kStop + branch(0x99, -27) + kEnd,
         branch(0x9D, 18) + push(str("title") + str("Hello")) + kSet + kStop + branch(0x99, -29) + kEnd},
        // ActionWith holds the assignment; the assignment inside a function is not run
        // when the frame is, and stays.
        {"blocks around the value", hello,
         record(0x94, le16(16)) + push(str("title") + str("old")) + kSet + kStop +
             record(0x9B, cstr("f") + le16(0) + le16(16)) + push(str("title") + str("old")) + kSet + kEnd,
         record(0x94, le16(18)) + push(str("title") + str("Hello")) + kSet + kStop +
             record(0x9B, cstr("f") + le16(0) + le16(16)) + push(str("title") + str("old")) + kSet + kEnd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SWFDoAction doAction(TagCode::DoAction, c.before);
        EXPECT_TRUE(doAction.assignInPlace(c.variable, MovieTextEncoding::Utf8));
        EXPECT_EQ(Bytes(doAction.body().begin(), doAction.body().end()), c.after);
    }
}

TEST(SWFDoAction, ActionsThatDoNotAssignTheVariableStayAsTheyAre) {
    const SWFStringType hello("title", "Hello");
    const Bytes cases[] = {
        push(str("other") + str("old")) + kSet + kEnd,
        push(str("title") + str("old")) + Bytes{0x1C} + kEnd,  // GetVariable, not SetVariable
        // only inside a function
        record(0x9B, cstr("f") + le16(0) + le16(16)) + push(str("title") + str("old")) + kSet + kEnd,
        Bytes{0x96, 0x20, 0x00, 0x00},  // a record cut short
    };
    for (const auto& body : cases) {
        SWFDoAction doAction(TagCode::DoAction, body);
        EXPECT_FALSE(doAction.assignInPlace(hello, MovieTextEncoding::Utf8));
        EXPECT_EQ(Bytes(doAction.body().begin(), doAction.body().end()), body);
    }
    // A branch into the value cannot be kept on target.
    const Bytes into = branch(0x99, 12) + push(str("title")) + push(str("old")) + kSet + kEnd;
    SWFDoAction doAction(TagCode::DoAction, into);
    EXPECT_THROW(doAction.assignInPlace(hello, MovieTextEncoding::Utf8), Exception);
    EXPECT_EQ(Bytes(doAction.body().begin(), doAction.body().end()), into);
}

}  // namespace
}  // namespace tarvenox
