// `tarvenox inspect` against another SWF parser: the same records, in the same order,
// with the same lengths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/TempDir.h"

namespace tarvenox {
namespace {

using nlohmann::json;
using test::runTarvenox;
using test::TempDir;

const std::string kScript = TARVENOX_SOURCE_DIR "/tests/app/swf_parser_records.mjs";

// The other parser's records of a movie; the uncompressed movie is left at uncompressed.
json otherParserRecords(const std::string& movie, const std::string& uncompressed) {
    TempDir capture;
    const std::string command = "cd '" TARVENOX_SOURCE_DIR "' && node '" + kScript + "' '" + movie + "' '" +
                                uncompressed + "' >'" + capture.file("out") + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string out = test::readText(capture.file("out"));
    EXPECT_EQ(status, 0) << out;
    return status == 0 ? json::parse(out) : json();
}

void expectSameRecords(const std::string& movie) {
    TempDir dir;
    const std::string uncompressed = dir.file("movie.swf");
    const json theirs = otherParserRecords(movie, uncompressed);
    ASSERT_TRUE(theirs.is_object()) << movie;
    auto r = runTarvenox("inspect --json '" + uncompressed + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const json ours = json::parse(r.out);
    EXPECT_EQ(ours["header"]["version"], theirs["version"]);
    EXPECT_EQ(ours["header"]["frameCount"], theirs["frameCount"]);
    const json& records = theirs["records"];
    ASSERT_EQ(ours["tags"].size(), records.size()) << movie;
    for (std::size_t i = 0; i < records.size(); ++i) {
        // A record is its body plus a 2-byte header, or a 6-byte one for long bodies
        // (and for short bodies that a writer stored in the long form).
        const int length = ours["tags"][i]["length"];
        const int size = records[i]["size"];
        EXPECT_TRUE(size == length + 2 || size == length + 6)
            << movie << " record " << i << " (" << records[i]["type"] << "): ours " << length
            << " bytes of body, theirs " << size << " bytes of record";
    }
}

class InspectCrossCheck : public testing::Test {
protected:
    void SetUp() override {
        const std::string probe = "cd '" TARVENOX_SOURCE_DIR "' && node -e \"import('swf-parser')\" 2>/dev/null";
        if (std::system(probe.c_str()) != 0) {
            GTEST_SKIP() << "node or the npm package swf-parser is missing (scripts/setup installs them)";
        }
    }
};

TEST_F(InspectCrossCheck, MovieMadeByAnotherTool) {
    // The express-install movie that ships with swfobject, written by a Flash authoring
    // tool in the compressed form.
    const std::string movie = TARVENOX_SOURCE_DIR "/node_modules/swfobject/expressInstall.swf";
    ASSERT_TRUE(std::filesystem::exists(movie));
    expectSameRecords(movie);
}

TEST_F(InspectCrossCheck, MoviesOfTheDemoAndTheFuzzCorpus) {
    std::size_t checked = 0;
    for (const char* folder : {"/tests/fixtures/fuzz/swf_file", "/build/demo"}) {
        const std::string path = std::string(TARVENOX_SOURCE_DIR) + folder;
        if (!std::filesystem::is_directory(path)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
            if (entry.path().extension() != ".swf") continue;
            // Inputs kept because they once broke a reader are not movies to compare.
            if (entry.path().filename().string().rfind("code-zero", 0) == 0) continue;
            expectSameRecords(entry.path().string());
            ++checked;
        }
    }
    EXPECT_GT(checked, 0u);
}

}  // namespace
}  // namespace tarvenox
