// `tarvenox archive create | list | extract`.
#include <gtest/gtest.h>

#include "data/FileDatabase.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::runTarvenox;
using test::TempDir;

TEST(ArchiveCommand, CreateListAndExtractRoundTrip) {
    TempDir dir;
    dir.write("install/texts.txt", "h\na\tb\n");
    dir.write("install/swf/cards/birthday.swf", "movie");
    dir.write("install/swf/M\xC3\xBC"
              "ller.swf",
              "umlaut");
    dir.write("install/empty", "");
    dir.write("install/files.db", "an older archive inside the folder");

    auto created = runTarvenox("archive create install -o install/files.db", dir.path());
    ASSERT_EQ(created.status, 0) << created.err;

    auto database = FileDatabase::open(dir.file("install/files.db"), dir.path());
    ASSERT_TRUE(database) << database.report().reason();
    std::vector<std::string> names;
    for (const auto& record : (*database)->records()) names.push_back(record.name);
    // Relative paths with backslashes, in Windows-1252, in path order; the archive
    // being written is not packed into itself.
    EXPECT_EQ(names, (std::vector<std::string>{"empty",
                                               "swf\\M\xFC"
                                               "ller.swf",
                                               "swf\\cards\\birthday.swf", "texts.txt"}));

    auto listed = runTarvenox("archive list install/files.db", dir.path());
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "         0  empty\n"
                          "         6  swf\\M\xC3\xBC"
                          "ller.swf\n"
                          "         5  swf\\cards\\birthday.swf\n"
                          "         6  texts.txt\n");

    auto extracted = runTarvenox("archive extract install/files.db 'swf\\cards\\birthday.swf' -o out.swf", dir.path());
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(test::readText(dir.file("out.swf")), "movie");
    // Slashes find the backslashed name too.
    extracted = runTarvenox("archive extract install/files.db swf/M\xC3\xBC"
                            "ller.swf -o u.swf",
                            dir.path());
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(test::readText(dir.file("u.swf")), "umlaut");
}

TEST(ArchiveCommand, FailuresAreReportedAndWriteNothing) {
    TempDir dir;
    dir.write("files.db", "");
    dir.write("keep.swf", "kept");
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"archive create missing -o out.db", "missing: not a folder"},
        {"archive list missing.db", "missing.db: cannot open: No such file or directory"},
        {"archive extract files.db nothing -o keep.swf",
         "files.db: not a usable file database: the header is cut short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        auto result = runTarvenox(c.arguments, dir.path());
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "tarvenox: " + c.message + "\n");
    }
    EXPECT_EQ(test::readText(dir.file("keep.swf")), "kept");
}

}  // namespace
}  // namespace tarvenox
