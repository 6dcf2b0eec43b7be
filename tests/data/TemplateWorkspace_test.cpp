// The selected template's files in the working folder.
#include "data/TemplateWorkspace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::TempDir;

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

TEST(TemplateWorkspace, PlacesAndRemovesTheThreeFiles) {
    TempDir install;
    TempDir work;
    install.write("swf/cards/birthday.swf", "movie");
    install.write("swf/cards/birthdayEdit.swf", "editor");
    install.write("swf/cards/birthdayConfig.txt", "config");
    install.write("swf/intro.swf", "intro");
    work.write("unrelated.swf", "kept");

    {
        TemplateWorkspace workspace(std::make_unique<FileStore>(work.path(), install.path()), work.path());
        workspace.extractAll();  // no template yet: nothing to do
        workspace.setTemplate("swf\\cards\\birthday");
        EXPECT_EQ(workspace.files(),
                  (std::vector<std::string>{"swf\\cards\\birthday.swf", "swf\\cards\\birthdayEdit.swf",
                                            "swf\\cards\\birthdayConfig.txt"}));
        workspace.extractAll();
        EXPECT_EQ(test::readText(work.file("birthday.swf")), "movie");
        EXPECT_EQ(test::readText(work.file("birthdayEdit.swf")), "editor");
        EXPECT_EQ(test::readText(work.file("birthdayConfig.txt")), "config");

        // Switching deletes the old copies even though only one new file exists.
        workspace.setTemplate("swf\\intro");
        EXPECT_FALSE(exists(work.file("birthday.swf")));
        EXPECT_FALSE(exists(work.file("birthdayEdit.swf")));
        EXPECT_FALSE(exists(work.file("birthdayConfig.txt")));
        workspace.extractAll();
        EXPECT_EQ(test::readText(work.file("intro.swf")), "intro");
        EXPECT_FALSE(exists(work.file("introEdit.swf")));

        // A fresh extraction replaces a changed working copy.
        work.write("intro.swf", "changed");
        workspace.extractAll();
        EXPECT_EQ(test::readText(work.file("intro.swf")), "intro");
    }
    // Destroying the workspace deletes the current copies and nothing else.
    EXPECT_FALSE(exists(work.file("intro.swf")));
    EXPECT_TRUE(exists(work.file("unrelated.swf")));
}

}  // namespace
}  // namespace tarvenox
