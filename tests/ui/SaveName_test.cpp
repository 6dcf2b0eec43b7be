// The save dialog's proposed file name.
#include "ui/SaveName.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

TEST(SaveName, TheTitleWithCharactersAFileNameCannotHoldReplaced) {
    struct Case {
        std::string title, name;
    } cases[] = {
        {"Greeting card", "Greeting card.swf"},
        {"Visiten+karte", "Visiten karte.swf"},
        {"Sale 50%: a/b\\c*?\"<>|", "Sale 50%_ a_b_c______.swf"},
        {"Gr\xFC\xDF"
         "e \x80",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC.swf"},  // Windows-1252 to UTF-8
        {" ..hidden. ", "hidden.swf"},
        {"tab\there", "tab_here.swf"},
        {"", "movie.swf"},
        {"...", "movie.swf"},
    };
    for (const Case& c : cases) EXPECT_EQ(proposedFileName(c.title, "swf"), c.name) << c.title;
}

}  // namespace
}  // namespace tarvenox
