// The description of a movie written tag by tag.
#include "app/MovieDescription.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/MovieBuilder.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::operator+;

// The streamed JSON is byte for byte the document that describing everything at once
// gives, for tags written without building JSON (ShowFrame, DoAction, an unknown code)
// as for tags with details (a background, a character, exports), and for no tags.
TEST(MovieDescription, StreamedJsonIsTheWholeDocument) {
    test::TempDir dir;
    const std::string path = dir.file("m.swf");
    test::MovieBuilder()
        .background(1, 2, 3)
        .tag(12, {0x00})                                   // DoAction: End
        .tag(39, test::le16(7) + test::le16(1))            // DefineSprite 7
        .tag(56, test::le16(1) + test::le16(7) + test::cstr("clip"))  // ExportAssets
        .tag(777, Bytes(70, 0xAB))                         // unknown, long header
        .showFrame()
        .writeTo(path);
    const std::string empty = dir.file("empty.swf");
    test::MovieBuilder().writeTo(empty);

    for (const std::string& movie : {path, empty}) {
        SCOPED_TRACE(movie);
        SWFFile file(movie);
        nlohmann::json expected = describeMovieHeader(file, movie);
        expected["tags"] = nlohmann::json::array();
        for (auto& tag : file.tags()) expected["tags"].push_back(describeTag(*tag, file.textEncoding()));
        std::ostringstream streamed;
        writeMovieDescription(movie, streamed, true);
        EXPECT_EQ(streamed.str(), expected.dump(2) + "\n");
    }
}

}  // namespace
}  // namespace tarvenox
