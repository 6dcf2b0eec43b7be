// Running a program file directly and waiting for it.
#include "ui/ProgramRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "common/Log.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

TEST(ProgramRun, RunsTheFileItselfAndWaitsForIt) {
    test::TempDir dir;
    // A descriptor without close-on-exec, as a server's socket might be: the program
    // must not get it.
    int inherited = ::open(dir.path().c_str(), O_RDONLY);
    ASSERT_GE(inherited, 3);
    std::string fd = "/proc/$$/fd/" + std::to_string(inherited);
    // A shell given this path would run ".../a b" and then "c/run me" as a second command.
    std::string script = dir.write(
        "a b;c/run me;x.sh",
        "#!/bin/sh\n"
        "sleep 0.3\n"  // not done yet if the caller did not wait
        "if [ \"$(readlink " + fd + ")\" = '" + dir.path() + "' ]; then fd=inherited; else fd=closed; fi\n"
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
