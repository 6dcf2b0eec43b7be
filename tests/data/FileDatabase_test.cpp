// File databases: the directory, entry data, damaged archives, and the writer.
#include "data/FileDatabase.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/Exception.h"
#include "data/ArchiveWriter.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::TempDir;

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes be32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A directory record: the name, its NUL, the size.
Bytes record(const std::string& name, std::uint32_t size) {
    return bytes(name) + Bytes{0} + be32(size);
}

Bytes header(std::uint32_t count) { return bytes("SIGN") + be32(0) + be32(count); }

std::string entryText(const FileDatabase& database, const std::string& name) {
    std::string out = "untouched";
    database.readText(name, out);
    return out;
}

TEST(FileDatabase, ReadsEntriesWrittenByTheWriter) {
    TempDir dir;
    std::string path = dir.write("files.db", buildArchive({{"texts.txt", bytes("h\nx\ty")},
                                                           {"swf\\intro.swf", bytes("FWS...")},
                                                           {"empty", {}}}));
    FileDatabase database(path, dir.path());
    ASSERT_TRUE(database.isOpen());
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
    Bytes archive = buildArchive({{"a", bytes("xy")}, {"bc", bytes("z")}});
    Bytes expected = bytes("TVDB") + be32(1) + be32(2) + record("a", 2) + record("bc", 1) +
                     bytes("xyz");
    EXPECT_EQ(archive, expected);
}

TEST(FileDatabase, LaterDuplicateWinsAndBothKeepTheirData) {
    TempDir dir;
    std::string path = dir.write(
        "dup.db", header(3) + record("n", 3) + record("m", 1) + record("n", 2) + bytes("oldMne"));
    FileDatabase database(path, dir.path());
    EXPECT_EQ(entryText(database, "n"), "ne");
    EXPECT_EQ(entryText(database, "m"), "M");
    EXPECT_EQ(database.records().size(), 3u);
}

TEST(FileDatabase, DamagedArchivesKeepWhatWasReadIntact) {
    TempDir dir;
    struct Case {
        const char* what;
        Bytes archive;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"no entries", header(0), {}},
        {"empty file", {}, {}},
        {"header cut short", bytes("SIGN") + be32(0) + Bytes{0, 0}, {}},
        {"count larger than the directory", header(1000) + record("a", 1) + bytes("A"), {"a"}},
        {"size cut short", header(2) + record("a", 1) + bytes("b") + Bytes{0, 0, 0}, {"a"}},
        {"name without NUL at the end", header(2) + record("a", 0) + bytes("bbb"), {"a"}},
        {"empty name", header(3) + record("a", 1) + record("", 1) + record("c", 1) + bytes("AC"),
         {"a"}},
        {"name of 260 bytes", header(2) + record("a", 1) + record(std::string(260, 'n'), 1),
         {"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileDatabase database(dir.write("damaged.db", c.archive), dir.path());
        std::vector<std::string> names;
        for (const auto& r : database.records()) names.push_back(r.name);
        EXPECT_EQ(names, c.names);
    }

    // The longest name the format allows is still read.
    std::string longest(259, 'n');
    FileDatabase database(dir.write("long.db", header(1) + record(longest, 1) + bytes("L")),
                          dir.path());
    EXPECT_EQ(entryText(database, longest), "L");
}

TEST(FileDatabase, DataCutShortYieldsTheBytesPresent) {
    TempDir dir;
    // The second entry claims 4 GiB; only three bytes are there.
    std::string path = dir.write(
        "cut.db", header(3) + record("a", 2) + record("big", 0xFFFFFFFF) + record("after", 5) +
                      bytes("AAbig"));
    FileDatabase database(path, dir.path());
    EXPECT_EQ(entryText(database, "a"), "AA");
    EXPECT_EQ(entryText(database, "big"), "big");
    // Its data would start far beyond the end of the file.
    EXPECT_EQ(entryText(database, "after"), "");
}

TEST(FileDatabase, MissingArchiveIsEmpty) {
    TempDir dir;
    FileDatabase database(dir.file("missing.db"), dir.path());
    EXPECT_FALSE(database.isOpen());
    EXPECT_EQ(entryText(database, "texts.txt"), "untouched");
    EXPECT_FALSE(database.extract("texts.txt"));
}

TEST(FileDatabase, ExtractWritesTheBaseNameIntoTheWorkingFolder) {
    TempDir install;
    TempDir work;
    std::string path = install.write(
        "files.db", buildArchive({{"swf\\cards\\birthday.swf", bytes("movie")},
                                  {"zero", {}},
                                  {"swf\\..", bytes("up")},
                                  {"swf\\", bytes("folder")}}));
    FileDatabase database(path, work.path() + "/");
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
    EXPECT_THROW(buildArchive({{"", {}}}), Exception);
    EXPECT_THROW(buildArchive({{std::string(260, 'a'), {}}}), Exception);
    EXPECT_THROW(buildArchive({{std::string("a\0b", 3), {}}}), Exception);
    EXPECT_NO_THROW(buildArchive({{std::string(259, 'a'), {}}}));
}

}  // namespace
}  // namespace tarvenox
