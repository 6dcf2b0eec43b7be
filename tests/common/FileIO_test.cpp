#include "common/FileIO.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::TempDir;

TEST(FileIO, ReadsWholeFilesAndNamesMissingOnes) {
    TempDir dir;
    std::string path = dir.write("a.bin", Bytes{0, 1, 2, 255});
    EXPECT_EQ(readFileBytes(path), (Bytes{0, 1, 2, 255}));
    std::string error;
    EXPECT_EQ(readFileBytes(dir.file("none"), &error), std::nullopt);
    EXPECT_NE(error.find("none: cannot open"), std::string::npos);
    EXPECT_EQ(readFileBytes(dir.path(), &error), std::nullopt);  // a folder is no file
    EXPECT_EQ(readFileBytes(dir.write("empty", std::string())), Bytes{});
}

TEST(FileIO, AtomicWriteReplacesTheTargetAndLeavesNoTemporaryFile) {
    TempDir dir;
    std::string path = dir.write("out.swf", std::string("old content that is longer"));
    ASSERT_TRUE(writeFileAtomically(path, Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(test::readText(path), "new");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IRUSR, 0u);
}

TEST(FileIO, FailedWriteReportsAndKeepsTheOldFile) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir.file("missing/out.swf"), Bytes{1}, &error));
    EXPECT_NE(error.find("missing/out.swf"), std::string::npos);
    // A folder in the way: the rename fails and the folder stays as it was.
    std::filesystem::create_directory(dir.file("taken"));
    dir.write("taken/inside", std::string("x"));
    EXPECT_FALSE(writeFileAtomically(dir.file("taken"), Bytes{1}, &error));
    EXPECT_EQ(test::readText(dir.file("taken/inside")), "x");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1u);
}

TEST(FileIO, SpecialFilesAreRefusedWithoutBlocking) {
    TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    // A FIFO without a writer would block a plain open for ever.
    EXPECT_EQ(readFileBytes(fifo, &error), std::nullopt);
    EXPECT_EQ(error, fifo + ": not a regular file");
    // As an output it is neither replaced nor written to.
    EXPECT_FALSE(writeFileAtomically(fifo, Bytes{1}, &error));
    EXPECT_EQ(error, fifo + ": not a regular file; nothing was written");
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(FileIO, WriteThroughSymbolicLinksKeepsLinkAndMode) {
    TempDir dir;
    const std::string target = dir.write("real/out.swf", std::string("old"));
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    // A chain of two links, the second relative to its own folder.
    ASSERT_EQ(::symlink("real/out.swf", dir.file("link1").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("link1").c_str(), dir.file("link2").c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(dir.file("link2"), Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(test::readText(target), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("link2").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // A dangling link creates its target; a loop is refused.
    ASSERT_EQ(::symlink("real/new.swf", dir.file("dangling").c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(dir.file("dangling"), Bytes{'x'}));
    EXPECT_EQ(test::readText(dir.file("real/new.swf")), "x");
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    EXPECT_FALSE(writeFileAtomically(dir.file("loop"), Bytes{'x'}));
}

}  // namespace
}  // namespace tarvenox
