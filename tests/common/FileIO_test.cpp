#include "common/FileIO.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
}  // namespace tarvenox
