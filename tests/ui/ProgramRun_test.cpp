// Running a program file directly and waiting for it.
#include "ui/ProgramRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "common/ContainedFile.h"
#include "common/Log.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

// Only a regular file whose real path lies on the CD is a program of the CD.
TEST(ProgramRun, FindsOnlyProgramsThatReallyLieInsideTheFolder) {
    test::TempDir dir;
    dir.write("outside.sh", "#!/bin/sh\n");
    dir.write("cd/setup/start.sh", "#!/bin/sh\n");
    dir.write("cd/folder.sh/.keep", "");
    const std::string cd = dir.file("cd") + "/";
    ASSERT_EQ(::symlink("setup/start.sh", (cd + "inside-link.sh").c_str()), 0);
    ASSERT_EQ(::symlink("../outside.sh", (cd + "outside-link.sh").c_str()), 0);
    const std::string real = *realPathOf(dir.path());
    using Outcome = ProgramLookup::Outcome;
    struct Case {
        std::string relative;
        Outcome outcome;
        std::string path;
    };
    const Case cases[] = {
        {"setup/start.sh", Outcome::found, real + "/cd/setup/start.sh"},
        {"inside-link.sh", Outcome::found, real + "/cd/setup/start.sh"},
        {"setup/../setup/start.sh", Outcome::found, real + "/cd/setup/start.sh"},
        {"../outside.sh", Outcome::refused, real + "/outside.sh"},
        {"setup/../../outside.sh", Outcome::refused, real + "/outside.sh"},
        {"outside-link.sh", Outcome::refused, real + "/outside.sh"},
        {"missing.sh", Outcome::missing, ""},
        {"folder.sh", Outcome::missing, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.relative);
        const ProgramLookup lookup = findProgramInside(cd, c.relative);
        EXPECT_EQ(lookup.outcome, c.outcome);
        EXPECT_EQ(lookup.path, c.path);
    }
    // No CD folder: the current folder is the CD.
    const std::string here = *realPathOf(".");
    ASSERT_EQ(::chdir(cd.c_str()), 0);
    EXPECT_EQ(findProgramInside("", "setup/start.sh").outcome, Outcome::found);
    EXPECT_EQ(findProgramInside("", "../outside.sh").outcome, Outcome::refused);
    ASSERT_EQ(::chdir(here.c_str()), 0);
}

TEST(ProgramRun, RunsTheFileItselfAndWaitsForIt) {
    test::TempDir dir;
    // A descriptor without close-on-exec, as a server's socket might be: the program
    // must not get it.
    int inherited = ::open(dir.path().c_str(), O_RDONLY);
    ASSERT_GE(inherited, 3);
    std::string fd = "/proc/$$/fd/" + std::to_string(inherited);
    // A shell given this path would run ".../a b" and then "c/run me" as a second command.
    std::string script = dir.write("a b;c/run me;x.sh",
                                   "#!/bin/sh\n"
                                   "sleep 0.3\n"  // not done yet if the caller did not wait
                                   "if [ \"$(readlink " +
                                       fd + ")\" = '" + dir.path() +
                                       "' ]; then fd=inherited; else fd=closed; fi\n"
                                       "printf '%s|%s|%s' \"$0\" \"$#\" \"$fd\" > \"${0%/*}/marker\"\n");
    ::chmod(script.c_str(), 0700);

    runProgramAndWait(script);
    ::close(inherited);
    EXPECT_EQ(test::readText(dir.file("a b;c/marker")), script + "|0|closed");
}

TEST(ProgramRun, AProgramThatCannotStartIsLogged) {
    test::TempDir dir;
    std::string plain = dir.write("not executable.sh", "#!/bin/sh\n");
    std::FILE* log = std::tmpfile();
    setLogStream(log);
    for (const std::string& path : {dir.file("missing"), plain}) runProgramAndWait(path);
    setLogStream(stdout);
    std::rewind(log);
    char buffer[4096] = {};
    std::fread(buffer, 1, sizeof buffer - 1, log);
    std::fclose(log);
    std::string logged = buffer;
    EXPECT_NE(logged.find("cannot start " + dir.file("missing")), std::string::npos) << logged;
    EXPECT_NE(logged.find("cannot start " + plain), std::string::npos) << logged;
}

}  // namespace
}  // namespace tarvenox
