// File databases: the directory, entry data, damaged archives, and the writer.
#include "data/FileDatabase.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "data/ArchiveWriter.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::TempDir;

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes be32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A directory record: the name, its NUL, the size.
Bytes record(const std::string& name, std::uint32_t size) { return bytes(name) + Bytes{0} + be32(size); }

Bytes header(std::uint32_t count) { return bytes("SIGN") + be32(0) + be32(count); }

std::string entryText(const FileDatabase& database, const std::string& name) {
    std::string out = "untouched";
    database.readText(name, out);
    return out;
}

TEST(FileDatabase, ReadsEntriesWrittenByTheWriter) {
    TempDir dir;
    std::string path = dir.write(
        "files.db",
        buildArchive({{"texts.txt", bytes("h\nx\ty")}, {"swf\\intro.swf", bytes("FWS...")}, {"empty", {}}}).take());
    auto opened = FileDatabase::open(path, dir.path());
    ASSERT_TRUE(opened) << opened.report().reason();
    const FileDatabase& database = **opened;
    ASSERT_EQ(database.records().size(), 3u);
    EXPECT_EQ(database.records()[1].name, "swf\\intro.swf");
    EXPECT_EQ(database.records()[1].entry.size, 6u);
    EXPECT_EQ(entryText(database, "texts.txt"), "h\nx\ty");
    EXPECT_EQ(entryText(database, "swf\\intro.swf"), "FWS...");
    EXPECT_EQ(entryText(database, "empty"), "");
    // Names match byte for byte: case and separators count.
    EXPECT_EQ(entryText(database, "Texts.txt"), "untouched");
    EXPECT_EQ(entryText(database, "swf/intro.swf"), "untouched");
}

TEST(FileDatabase, LayoutMatchesTheFormat) {
    Bytes archive = buildArchive({{"a", bytes("xy")}, {"bc", bytes("z")}}).take();
    Bytes expected = bytes("TVDB") + be32(1) + be32(2) + record("a", 2) + record("bc", 1) + bytes("xyz");
    EXPECT_EQ(archive, expected);
}

TEST(FileDatabase, LaterDuplicateWinsAndBothKeepTheirData) {
    TempDir dir;
    std::string path =
        dir.write("dup.db", header(3) + record("n", 3) + record("m", 1) + record("n", 2) + bytes("oldMne"));
    const auto database = FileDatabase::open(path, dir.path()).take();
    EXPECT_EQ(entryText(*database, "n"), "ne");
    EXPECT_EQ(entryText(*database, "m"), "M");
    EXPECT_EQ(database->records().size(), 3u);
}

TEST(FileDatabase, DamagedArchivesAreRefusedWhole) {
    TempDir dir;
    struct Case {
        const char* what;
        Bytes archive;
        const char* problem;  // empty: the archive is sound
    };
    const Case cases[] = {
        {"no entries", header(0), ""},
        {"data after the last entry", header(1) + record("a", 1) + bytes("AB"), ""},
        {"empty file", {}, "the header is cut short"},
        {"header cut short", bytes("SIGN") + be32(0) + Bytes{0, 0}, "the header is cut short"},
        {"count larger than the directory", header(1000) + record("a", 1) + bytes("A"), "record 2 of 1000"},
        {"size cut short", header(2) + record("a", 1) + bytes("b") + Bytes{0, 0, 0},
         "the directory ends inside a size"},
        {"name without NUL at the end", header(2) + record("a", 0) + bytes("bbb"), "the directory ends inside a name"},
        {"empty name", header(3) + record("a", 1) + record("", 1) + record("c", 1) + bytes("AC"), "a name is empty"},
        {"name of 260 bytes", header(2) + record("a", 1) + record(std::string(260, 'n'), 1), "longer than 259 bytes"},
        // The second entry claims 4 GiB; only three bytes are there.
        {"entry past the end",
         header(3) + record("a", 2) + record("big", 0xFFFFFFFF) + record("after", 5) + bytes("AAbig"),
         "the entries need 4294967302 bytes after the directory, the file holds 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.write("damaged.db", c.archive);
        auto database = FileDatabase::open(path, dir.path());
        if (*c.problem == '\0') {
            EXPECT_TRUE(database) << database.report().reason();
            continue;
        }
        ASSERT_FALSE(database);
        const std::string& reason = database.report().reason();
        EXPECT_NE(reason.find(path + ": not a usable file database: "), std::string::npos);
        EXPECT_NE(reason.find(c.problem), std::string::npos) << reason;
    }

    // The longest name the format allows is still read.
    std::string longest(259, 'n');
    auto database = FileDatabase::open(dir.write("long.db", header(1) + record(longest, 1) + bytes("L")), dir.path());
    ASSERT_TRUE(database);
    EXPECT_EQ(entryText(**database, longest), "L");
}

TEST(FileDatabase, MissingArchiveOrFolderIsRefusedNamingIt) {
    TempDir dir;
    for (const std::string& path : {dir.file("missing.db"), dir.path()}) {
        auto database = FileDatabase::open(path, dir.path());
        ASSERT_FALSE(database);
        EXPECT_EQ(database.report().reason().rfind(path + ": ", 0), 0u) << database.report().reason();
    }
}

TEST(FileDatabase, ExtractWritesTheBaseNameIntoTheWorkingFolder) {
    TempDir install;
    TempDir work;
    std::string path = install.write("files.db", buildArchive({{"swf\\cards\\birthday.swf", bytes("movie")},
                                                               {"zero", {}},
                                                               {"swf\\..", bytes("up")},
                                                               {"swf\\", bytes("folder")}})
                                                     .take());
    const auto opened = FileDatabase::open(path, work.path() + "/").take();
    const FileDatabase& database = *opened;
    EXPECT_TRUE(database.extract("swf\\cards\\birthday.swf"));
    EXPECT_EQ(test::readText(work.file("birthday.swf")), "movie");
    EXPECT_TRUE(database.extract("zero"));
    struct stat st {};
    ASSERT_EQ(::stat(work.file("zero").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    // A base name that would leave the working folder, or name the folder itself.
    EXPECT_FALSE(database.extract("swf\\.."));
    EXPECT_FALSE(database.extract("swf\\"));
    EXPECT_FALSE(database.extract("absent"));
}

TEST(ArchiveWriter, RefusesNamesTheFormatCannotHold) {
    for (const std::string& name : {std::string(), std::string(260, 'a'), std::string("a\0b", 3)}) {
        const auto archive = buildArchive({{name, {}}});
        ASSERT_FALSE(archive) << name;
        EXPECT_NE(archive.report().reason().find("an archive name must have 1 to 259 bytes and no NUL"),
                  std::string::npos);
    }
    EXPECT_TRUE(buildArchive({{std::string(259, 'a'), {}}}));
}

}  // namespace
}  // namespace tarvenox
