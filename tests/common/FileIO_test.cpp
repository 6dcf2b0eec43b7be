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
    EXPECT_EQ(*readFileBytes(path), (Bytes{0, 1, 2, 255}));
    const auto missing = readFileBytes(dir.file("none"));
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.report().reason().find("none: cannot open"), std::string::npos);
    EXPECT_FALSE(readFileBytes(dir.path()));  // a folder is no file
    EXPECT_EQ(*readFileBytes(dir.write("empty", std::string())), Bytes{});
}

TEST(FileIO, AtomicWriteReplacesTheTargetAndLeavesNoTemporaryFile) {
    TempDir dir;
    std::string path = dir.write("out.swf", std::string("old content that is longer"));
    ASSERT_FALSE(writeFileAtomically(path, Bytes{'n', 'e', 'w'}).failed());
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
    const Report missing = writeFileAtomically(dir.file("missing/out.swf"), Bytes{1});
    EXPECT_TRUE(missing.failed());
    EXPECT_NE(missing.reason().find("missing/out.swf"), std::string::npos);
    // A folder in the way: the rename fails and the folder stays as it was.
    std::filesystem::create_directory(dir.file("taken"));
    dir.write("taken/inside", std::string("x"));
    EXPECT_TRUE(writeFileAtomically(dir.file("taken"), Bytes{1}).failed());
    EXPECT_EQ(test::readText(dir.file("taken/inside")), "x");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1u);
}

TEST(FileIO, SpecialFilesAreRefusedWithoutBlocking) {
    TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO without a writer would block a plain open for ever.
    const auto read = readFileBytes(fifo);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.report().reason(), fifo + ": not a regular file");
    // As an output it is neither replaced nor written to.
    EXPECT_EQ(writeFileAtomically(fifo, Bytes{1}).reason(), fifo + ": not a regular file; nothing was written");
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
    ASSERT_FALSE(writeFileAtomically(dir.file("link2"), Bytes{'n', 'e', 'w'}).failed());
    EXPECT_EQ(test::readText(target), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("link2").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // A dangling link creates its target; a loop is refused.
    ASSERT_EQ(::symlink("real/new.swf", dir.file("dangling").c_str()), 0);
    ASSERT_FALSE(writeFileAtomically(dir.file("dangling"), Bytes{'x'}).failed());
    EXPECT_EQ(test::readText(dir.file("real/new.swf")), "x");
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    EXPECT_TRUE(writeFileAtomically(dir.file("loop"), Bytes{'x'}).failed());
}

}  // namespace
}  // namespace tarvenox
