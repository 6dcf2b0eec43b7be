// What the removal after a signal takes: a nested folder with its subfolders, while a
// plain working folder keeps a subfolder it did not expect.
#include "common/TemporaryPaths.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace tarvenox {
namespace {

namespace fs = std::filesystem;

TEST(TemporaryPaths, ANestedFolderGoesWithItsSubfoldersAPlainOneKeepsThem) {
    test::TempDir dir;
    std::string nested = dir.file("tvtmpdir.prg.movie.XXXXXX");
    std::string plain = dir.file("tvtmpdir.prg.XXXXXX");
    // In a child, so that the removal touches none of this process's registrations.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!createRegisteredTemporaryFolder(nested, true) || !createRegisteredTemporaryFolder(plain)) ::_exit(2);
        for (const std::string& folder : {nested, plain}) {
            fs::create_directories(folder + "/swf");
            std::ofstream(folder + "/swf/a.swf") << "a";
            std::ofstream(folder + "/texts.txt") << "t";
        }
        removeRegisteredTemporaryPaths();
        const bool nestedGone = !fs::exists(nested);
        const bool plainKept = fs::exists(plain + "/swf/a.swf") && !fs::exists(plain + "/texts.txt");
        ::_exit(nestedGone && plainKept ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace tarvenox
