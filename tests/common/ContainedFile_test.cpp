// Files opened only when their real path lies inside a folder.
#include "common/ContainedFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace tarvenox {
namespace {

using Outcome = ContainedFile::Outcome;

TEST(ContainedFile, OpensOnlyRegularFilesWhoseRealPathStaysInside) {
    test::TempDir dir;
    dir.write("secret", "outside");
    dir.write("inst/swf/a.swf", "inside");
    const std::string inst = dir.file("inst");
    ASSERT_EQ(::symlink("swf/a.swf", (inst + "/relative-in").c_str()), 0);
    ASSERT_EQ(::symlink((inst + "/swf/a.swf").c_str(), (inst + "/absolute-in").c_str()), 0);
    ASSERT_EQ(::symlink("../secret", (inst + "/relative-out").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("secret").c_str(), (inst + "/absolute-out").c_str()), 0);
    ASSERT_EQ(::symlink("..", (inst + "/up").c_str()), 0);  // a folder link leading out
    ASSERT_EQ(::symlink("nothing", (inst + "/dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo((inst + "/fifo").c_str(), 0600), 0);
    // The installation reached through a link of its own: its real path is the measure.
    ASSERT_EQ(::symlink(inst.c_str(), dir.file("via").c_str()), 0);

    struct Case {
        std::string path;
        Outcome outcome;
        std::string content;
    };
    const Case cases[] = {
        {inst + "/swf/a.swf", Outcome::opened, "inside"},
        {inst + "/relative-in", Outcome::opened, "inside"},
        {inst + "/absolute-in", Outcome::opened, "inside"},
        {dir.file("via/swf/a.swf"), Outcome::opened, "inside"},
        {inst + "/swf/../swf/a.swf", Outcome::opened, "inside"},
        {inst + "/relative-out", Outcome::refused, ""},
        {inst + "/absolute-out", Outcome::refused, ""},
        {inst + "/up/secret", Outcome::refused, ""},
        {inst + "/../secret", Outcome::refused, ""},
        {inst + "/fifo", Outcome::refused, ""},  // would block a plain open
        {inst + "/swf", Outcome::refused, ""},
        {inst + "/dangling", Outcome::missing, ""},
        {inst + "/missing", Outcome::missing, ""},
        {inst + "/swf/a.swf/below", Outcome::missing, ""},
    };
    const std::string realInst = *realPathOf(inst);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ContainedFile file = ContainedFile::open(c.path, realInst);
        EXPECT_EQ(file.outcome(), c.outcome);
        EXPECT_EQ(asString(file.readAll()), c.content);
        EXPECT_EQ(file.fd() >= 0, c.outcome == Outcome::opened);
        EXPECT_EQ(file.problem().empty(), c.outcome != Outcome::refused) << file.problem();
    }
    EXPECT_NE(ContainedFile::open(inst + "/relative-out", realInst)
                  .problem()
                  .find("leads to " + *realPathOf(dir.file("secret"))),
              std::string::npos);
}

TEST(ContainedFile, AFileThatCannotBeReadIsThereButUnreadable) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    test::TempDir dir;
    const std::string path = dir.write("locked", "x");
    ::chmod(path.c_str(), 0);
    ContainedFile file = ContainedFile::open(path, *realPathOf(dir.path()));
    EXPECT_EQ(file.outcome(), Outcome::unreadable);
    EXPECT_TRUE(file.found());
}

TEST(ContainedFile, InsideMeansBelowTheFolderNotBesideIt) {
    EXPECT_TRUE(liesInside("/a/b", "/a/b"));
    EXPECT_TRUE(liesInside("/a/b/c", "/a/b"));
    EXPECT_FALSE(liesInside("/a/bc", "/a/b"));
    EXPECT_FALSE(liesInside("/a", "/a/b"));
    EXPECT_TRUE(liesInside("/etc/passwd", "/"));
    EXPECT_FALSE(liesInside("/a/b", ""));
}

}  // namespace
}  // namespace tarvenox
