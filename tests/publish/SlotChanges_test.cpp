// Replacements in a form the check refuses before it looks at the movie: the cells of a
// sheet reach it without the command line's reading of NAME=VALUE.
#include "publish/SlotChanges.h"

#include <gtest/gtest.h>

#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

TEST(SlotChanges, ChangesWithoutANameOrValueOrInAnotherCodePageAreRefusedAsGiven) {
    SWFFile movie(8, SWFRect{0, 11000, 0, 8000}, 12, 1);
    const struct {
        ChangeKind kind;
        SlotChange change;
        std::string message;
    } cases[] = {
        {ChangeKind::Picture, {"", "x.png"}, "--image: '=x.png' is not EXPORT=FILE"},
        {ChangeKind::Sound, {"music", ""}, "--mp3: 'music=' is not EXPORT=FILE"},
        {ChangeKind::Font, {"", "DejaVu Sans"}, "--font: '=DejaVu Sans' is not NAME=FACE"},
        {ChangeKind::Picture,
         {"lo\xF0\x9F\x98\x80go", "x.png"},
         "--image: 'lo\xF0\x9F\x98\x80go=x.png' has characters that Windows-1252 cannot represent"},
    };
    for (const auto& c : cases) {
        const auto checked = checkedChanges(movie, c.kind, {c.change});
        EXPECT_FALSE(checked.ok()) << c.message;
        EXPECT_EQ(checked.report().text(), c.message);
        EXPECT_TRUE(wellFormed({c.change}).empty()) << c.message;
    }
    // A name in Windows-1252 is kept in the code page movies store names in.
    EXPECT_EQ(wellFormed({{"J\xC3\xB6rg", "a.png"}, {"", "b.png"}}), (Replacements{{"J\xF6rg", "a.png"}}));
}

}  // namespace
}  // namespace tarvenox
