// "skin.txt": the lists and texts of the interface movie.
#include "data/SkinVariables.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace tarvenox {
namespace {

const std::string listHeader = "text\tlist\tfile\r\n";
const std::string textHeader = "name\tvalue\r\n";

TEST(SkinVariables, WithoutTextsOnlyTheEndMarker) {
    EXPECT_EQ(skinVariables("", ""), "skintxt_end=1");
    EXPECT_EQ(skinVariables(textHeader, listHeader), "skintxt_end=1");
}

TEST(SkinVariables, ListEntriesInFileOrder) {
    EXPECT_EQ(skinVariables("", listHeader + "Sans Serif\tfonts\tsans.ttf\r\nMono\tfonts\tmono.ttf\r\n"),
              "fonts_count=2&"
              "fonts_text0=Sans+Serif&fonts_path0=fonts&fonts_file0=sans.ttf&"
              "fonts_text1=Mono&fonts_path1=fonts&fonts_file1=mono.ttf&"
              "skintxt_end=1");
}

TEST(SkinVariables, ListsSortedByUnsignedBytesAndKeptTogether) {
    std::string lists = listHeader + "one\tmusic\tm1\n"
                                     "two\tMusic\tM1\n"
                                     "three\tmusic\tm2\n"
                                     "four\t\xE4pfel\ta1\n"
                                     "five\tmy list\tx\n"
                                     "six\tmus\ts1\n";
    EXPECT_EQ(skinVariables("", lists),
              "Music_count=1&Music_text0=two&Music_path0=Music&Music_file0=M1&"
              "mus_count=1&mus_text0=six&mus_path0=mus&mus_file0=s1&"
              "music_count=2&music_text0=one&music_path0=music&music_file0=m1&"
              "music_text1=three&music_path1=music&music_file1=m2&"
              "my list_count=1&my list_text0=five&my list_path0=my list&my list_file0=x&"
              "\xE4pfel_count=1&\xE4pfel_text0=four&\xE4pfel_path0=\xE4pfel&\xE4pfel_file0=a1&"
              "skintxt_end=1");
}

TEST(SkinVariables, TextsAfterTheListsWithOnlyDotsAndBlanksChanged) {
    std::string texts = textHeader + "menu.title\tMy  first card\n"
                                     "menu.title\tagain\n"
                                     "raw\ta&b=c%20+\xFC\n";
    EXPECT_EQ(skinVariables(texts, listHeader + "x\tl\tf\n"),
              "l_count=1&l_text0=x&l_path0=l&l_file0=f&"
              "menu_title=My++first+card&menu_title=again&raw=a&b=c%20+\xFC&"
              "skintxt_end=1");
}

TEST(SkinVariables, ShortRowsReadMissingCellsAsEmpty) {
    EXPECT_EQ(skinVariables(textHeader + "lonely\n", listHeader + "entry\n"),
              "_count=1&_text0=entry&_path0=&_file0=&lonely=&skintxt_end=1");
}

TEST(SkinVariables, WrittenIntoTheWorkingFolder) {
    test::TempDir work;
    writeSkinVariables(textHeader + "a\tb c\n", "", work.path());
    EXPECT_EQ(test::readText(work.file("skin.txt")), "a=b+c&skintxt_end=1");
    // A folder that does not exist: nothing is written, nothing fails.
    writeSkinVariables("", "", work.file("missing"));
}

}  // namespace
}  // namespace tarvenox
