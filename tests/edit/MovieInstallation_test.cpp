// A plain movie as an installation of one template: its texts, and the folder written.
#include "edit/MovieInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/FileIO.h"
#include "data/TextTable.h"
#include "edit/MovieContents.h"
#include "support/MovieBuilder.h"
#include "support/TempDir.h"
#include "swf/SWFType.h"

namespace tarvenox {
namespace {

TEST(MovieInstallation, TemplateNamesAreSafe) {
    const std::pair<const char*, const char*> cases[] = {
        {"/movies/banner-1_x.SWF", "banner-1_x"},
        {"card.swf", "card"},
        {"My Card.swf", "movie"},  // a blank
        {"caf\xC3\xA9.swf", "movie"},
        {"a.b.swf", "movie"},
        {".swf", "movie"},
        {"intro", "intro"},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(movieTemplateName(path), name) << path;
}

// Every kind of row, in the form's order; the texts the editor cannot hold are left out
// of form and values alike, and the values read back as the session reads them.
TEST(MovieInstallation, TextsListWhatTheMovieLetsChange) {
    MovieContents contents;
    contents.texts = {
        {"greeting", 3, "Hello\r\nWorld", std::nullopt},
        {"_root.count", 4, "shown until the frame runs", std::nullopt},  // the first frame sets it
        {"wide", 5, "\xE2\x82\xAC \xE4\xB8\xAD", std::nullopt},          // CJK: not Windows-1252
        {"tabbed", 6, "a\tb", std::nullopt},
        {"dup", 7, "x", std::nullopt},
        {"dup", 8, "y", std::nullopt},
        {"", 9, "no variable", std::nullopt},
    };
    contents.variables = {{"count", 'd', "3"}, {"flag", 'b', "true"}, {"escaped", 's', "a\\nb"}};
    contents.staticTexts = {{9, "Caf\xC3\xA9\nMenu", {}}, {10, "\xE4\xB8\xAD", {}}, {11, std::string("a\0b", 3), {}}};
    contents.pictures = {{.name = "12", .id = 12, .width = 47, .height = 33}, {.name = "logo", .id = 13}};
    contents.fonts = {{.name = "Arial", .id = 1}, {.name = "2", .id = 2}};
    contents.sounds = {{.name = "14", .id = 14}};

    const InstallationTexts texts = installationTexts(contents, "card", "My card.swf");
    EXPECT_EQ(texts.form, "kind\tname\tlabel\n"
                          "textarea\tgreeting\tgreeting\n"
                          "number\tcount\tcount\n"
                          "text\tdup\tdup\n"
                          "bool\tflag\tflag\n"
                          "textarea\ttext:9\tText 9\n"
                          "image\t12\tPicture 12 (47 \xD7 33)\n"
                          "image\tlogo\tlogo\n"
                          "font\tArial\tArial\n"
                          "font\t2\tFont 2\n"
                          "mp3\t14\tSound 14\n"
                          "color\t_root.backgroundColor\tBackground colour\n");
    EXPECT_EQ(texts.configs, "movie\tvariable\ttype\tvalue\n"
                             "card\tgreeting\ts\tHello\\nWorld\n"
                             "card\tcount\td\t3\n"
                             "card\tdup\ts\tx\n"
                             "card\tflag\tb\ttrue\n");
    EXPECT_EQ(texts.leftOut.size(), 5u);  // wide, tabbed, escaped, static texts 10 and 11
    EXPECT_EQ(texts.texts, "name\ttext\ntitle\tMy card.swf\n");
    EXPECT_EQ(texts.selectLists, "text\tlist\tfile\nMy card.swf\tmovies\tcard\n");

    ActionVariables variables;
    buildActionVariables(TextTable(texts.configs), "card", variables);
    ASSERT_EQ(variables.size(), 4u);
    EXPECT_EQ(variables[0]->getValueText(), "Hello \rWorld");  // the installations' line break
    EXPECT_EQ(variables[1]->typeLetter(), 'd');
}

TEST(MovieInstallation, WritesTheFolderAndRemovesIt) {
    test::TempDir dir;
    const Bytes movie = test::MovieBuilder(8).background(1, 2, 3).showFrame().build();
    const std::string path = dir.write("intro.swf", movie);
    std::string folder;
    {
        auto installation = MovieInstallation::create(path, dir.path() + "/");
        ASSERT_TRUE(installation) << installation.report().reason();
        folder = (*installation)->folder();
        EXPECT_EQ((*installation)->templateName(), "intro");
        EXPECT_EQ(*readFileBytes(folder + "swf/intro.swf"), movie);
        for (const char* file : {"swf/introConfig.txt", "texts.txt", "selectLists.txt", "configs.txt"}) {
            EXPECT_TRUE(std::filesystem::exists(folder + file)) << file;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(folder));

    // One line naming the movie, and no folder left behind.
    const std::string text = dir.write("notes.swf", std::string("not a movie"));
    for (const std::string& bad : {text, dir.file("missing.swf")}) {
        auto refused = MovieInstallation::create(bad, dir.path() + "/");
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.report().reason().find('\n'), std::string::npos);
        EXPECT_EQ(refused.report().reason().rfind(bad, 0), 0u) << refused.report().reason();
    }
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2u);  // intro.swf and notes.swf
}

}  // namespace
}  // namespace tarvenox
