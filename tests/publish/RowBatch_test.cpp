// The rows of a batch save: their output names and the typed changes of their cells.
#include "publish/RowBatch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace tarvenox {
namespace {

using Slots = std::vector<SlotChange>;
using Variables = std::vector<VariableChange>;

TEST(RowBatch, EachRowsCellsBecomeItsChangesAfterTheCommandLines) {
    test::TempDir dir;
    const std::string sheet =
        dir.write("sheets/rows.csv", std::string("name,title,background,font:Title,image:logo,fit:logo,mp3:music\n"
                                                 "anna,Hi,#336699,DejaVu Sans,pic.png,contain,/abs/m.mp3\n"
                                                 "bert,,,,,cover,\n"
                                                 "carl,Hey,red,,,,\n"
                                                 "dora,Hi\n"));
    MovieChanges base;
    base.output = dir.file("out/{name}.swf");
    base.background = 0x112233;
    base.fonts = {{"Title", "Base Face"}};
    base.variables = {{"count", "3"}};
    const auto batch = prepareRows(sheet, base);
    ASSERT_TRUE(batch.ok()) << batch.report().text();
    EXPECT_EQ(batch->nameOnly, (std::vector<bool>{true, false, false, false, false, false, false}));

    const auto anna = rowChanges(*batch, base, 0);
    ASSERT_TRUE(anna.ok()) << anna.report().text();
    EXPECT_EQ(anna->output, dir.file("out/anna.swf"));
    EXPECT_EQ(anna->background, 0x336699);
    // The row's font comes after the command line's, so that the save takes the row's.
    EXPECT_EQ(anna->fonts, (Slots{{"Title", "Base Face"}, {"Title", "DejaVu Sans"}}));
    // A file's path is taken from the sheet's folder unless it is absolute.
    EXPECT_EQ(anna->pictures, (Slots{{"logo", dir.file("sheets/pic.png")}}));
    EXPECT_EQ(anna->fits, (Slots{{"logo", "contain"}}));
    EXPECT_EQ(anna->sounds, (Slots{{"music", "/abs/m.mp3"}}));
    EXPECT_EQ(anna->variables, (Variables{{"count", "3"}, {"title", "Hi"}}));
    // The column that names the file sets a variable only where the template has one.
    EXPECT_EQ(anna->optionalVariables, (Variables{{"name", "anna"}}));

    // Empty cells leave the command line's replacements and colour; an empty text is a text.
    const auto bert = rowChanges(*batch, base, 1);
    ASSERT_TRUE(bert.ok()) << bert.report().text();
    EXPECT_EQ(bert->background, 0x112233);
    EXPECT_EQ(bert->fonts, base.fonts);
    EXPECT_TRUE(bert->pictures.empty());
    // Its fit has no picture to fit.
    EXPECT_TRUE(bert->fits.empty());
    EXPECT_EQ(bert->variables, (Variables{{"count", "3"}, {"title", ""}}));

    const auto carl = rowChanges(*batch, base, 2);
    EXPECT_EQ(carl.report().text(), "--background: 'red' is not a colour; give #rrggbb or a decimal number");
    const auto dora = rowChanges(*batch, base, 3);
    EXPECT_EQ(dora.report().text(), "has 2 fields, the header 7");
}

TEST(RowBatch, RowsThatCannotBeWrittenAreLeftOutAndBadSheetsRefused) {
    test::TempDir dir;
    dir.write("blocked", std::string("a file where a folder should be"));
    const std::string sheet = dir.write("rows.csv", std::string("group,name\na,x\nb,y\na,x\nblocked,z\n"));
    MovieChanges base;
    base.output = dir.file("{group}/{name}.HTML");
    base.html = true;
    const auto batch = prepareRows(sheet, base);
    ASSERT_TRUE(batch.ok()) << batch.report().text();
    // With a page the pattern names the page; the movie is beside it.
    EXPECT_EQ(batch->outputs, (std::vector<std::string>{dir.file("a/x.swf"), dir.file("b/y.swf"), dir.file("a/x.swf"),
                                                        dir.file("blocked/z.swf")}));
    EXPECT_EQ(batch->failures[0], "");
    EXPECT_EQ(batch->failures[1], "");
    EXPECT_EQ(batch->failures[2], "writes " + dir.file("a/x.swf") + " as row 1 does");
    EXPECT_EQ(batch->failures[3].rfind("cannot create the folder " + dir.file("blocked") + ": ", 0), 0u)
        << batch->failures[3];
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("b")));

    const struct {
        std::string sheet;
        std::string output;
        std::string message;  // after the sheet's path and ": " where it names the sheet
        bool namesSheet = true;
    } refused[] = {
        {"name\n", "{name}.swf", "no rows below the header"},
        {"a=b\n1\n", "x.swf", "the column name 'a=b' has a '='"},
        {"name\n1\n", "{nope}.swf", "-o: the sheet has no column 'nope'", false},
    };
    for (const auto& c : refused) {
        const std::string path = dir.write("bad.csv", c.sheet);
        base.output = c.output;
        const auto made = prepareRows(path, base);
        EXPECT_FALSE(made.ok()) << c.message;
        EXPECT_EQ(made.report().text(), c.namesSheet ? path + ": " + c.message : c.message);
    }
}

}  // namespace
}  // namespace tarvenox
