#include "common/Result.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvenox {
namespace {

Result<int> half(int n) {
    if (n % 2 != 0) return Report::failure("odd: " + std::to_string(n));
    return n / 2;
}

TEST(Result, CarriesTheValueOrTheFailureWithItsInnermostReason) {
    Result<int> made = half(8);
    ASSERT_TRUE(made);
    EXPECT_EQ(*made, 4);
    EXPECT_FALSE(made.report().failed());

    Result<int> refused = half(3);
    ASSERT_FALSE(refused);
    // The caller words the failure for the user; the reason stays the first one given.
    Report worded = refused.report();
    worded.fail("Die Zahl passt nicht.", MessageKind::OkCancel).because("outer");
    EXPECT_TRUE(worded.failed());
    EXPECT_EQ(worded.text(), "Die Zahl passt nicht.");
    EXPECT_EQ(worded.reason(), "odd: 3");

    Report outer;
    outer.note("went on", MessageKind::Information);
    outer.add(worded);
    EXPECT_TRUE(outer.failed());
    EXPECT_EQ(outer.reason(), "odd: 3");
    EXPECT_EQ(outer.messages().size(), 2u);
}

}  // namespace
}  // namespace tarvenox
