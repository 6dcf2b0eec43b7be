// The description of a movie written tag by tag.
#include "edit/MovieDescription.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::operator+;
using test::clippedBitmapShape;

// The streamed JSON is byte for byte the document that describing everything at once
// gives, for tags written without building JSON (ShowFrame, DoAction, an unknown code)
// as for tags with details (a background, a character, exports), for tags described
// from the first bytes of their bodies, in compressed movies too, and for no tags.
TEST(MovieDescription, StreamedJsonIsTheWholeDocument) {
    test::TempDir dir;
    const std::string path = dir.file("m.swf");
    test::MovieBuilder()
        .background(1, 2, 3)
        .tag(12, {0x00})                                              // DoAction: End
        .tag(39, test::le16(7) + test::le16(1))                       // DefineSprite 7
        .tag(56, test::le16(1) + test::le16(7) + test::cstr("clip"))  // ExportAssets
        .tag(777, Bytes(70, 0xAB))                                    // unknown, long header
        .showFrame()
        .writeTo(path);
    const std::string empty = dir.file("empty.swf");
    test::MovieBuilder().writeTo(empty);
    // Tags described from the first bytes of their bodies, in each form of movie.
    const Bytes details = test::MovieBuilder()
                              .tag(36, test::le16(1) + Bytes{5} + test::le16(47) + test::le16(33) + Bytes(20'000, 7))
                              .tag(21, test::le16(2) + test::encodeJpeg(40, 30, false))
                              .tag(14, test::le16(3) + Bytes{0x2F} + test::le32(1152) + Bytes(9000, 0))
                              .tag(48, test::le16(4) + Bytes{0x90, 0, 5} + test::cstr("Titl") + Bytes(5000, 0))
                              .tag(2, clippedBitmapShape(5, 1))
                              .build();
    std::vector<std::string> movies = {path, empty};
    for (const auto form : {SWFCompression::None, SWFCompression::Zlib, SWFCompression::Lzma}) {
        movies.push_back(dir.write(std::string("details-") + signatureOf(form) + ".swf", packSWF(details, form)));
    }

    for (const std::string& movie : movies) {
        SCOPED_TRACE(movie);
        SWFFile file = test::readMovie(movie);
        nlohmann::json expected = describeMovieHeader(file.header(), file.endTagMissing(), Report(), movie);
        expected["tags"] = nlohmann::json::array();
        for (auto& tag : file.tags()) expected["tags"].push_back(describeTag(*tag, file.textEncoding()));
        std::ostringstream streamed;
        EXPECT_FALSE(writeMovieDescription(movie, streamed, true).failed());
        EXPECT_EQ(streamed.str(), expected.dump(2) + "\n");
    }
}

// The variables a DoAction sets read back in the movie's encoding: the same text from
// the Windows-1252 bytes of a version 5 movie and the UTF-8 of a version 6 one.
TEST(MovieDescription, AssignedVariablesReadBackInTheMoviesEncoding) {
    test::TempDir dir;
    for (const auto& [version, text] : {std::pair<std::uint8_t, std::string>{5, "J\xF6rg \x80"
                                                                                "5"},
                                        {6, "J\xC3\xB6rg \xE2\x82\xAC"
                                            "5"}}) {
        const std::string path = dir.file("v" + std::to_string(version) + ".swf");
        const Bytes push = Bytes{0x00} + test::cstr("title") + Bytes{0x00} + test::cstr(text);
        test::MovieBuilder(version)
            .tag(12, Bytes{0x96} + test::le16(static_cast<std::uint16_t>(push.size())) + push + Bytes{0x1D, 0x00})
            .showFrame()
            .writeTo(path);
        std::ostringstream listing;
        EXPECT_FALSE(writeMovieDescription(path, listing, false).failed());
        EXPECT_NE(listing.str().find(" title=\"J\xC3\xB6rg \xE2\x82\xAC"
                                     "5\" [changeable: variables]\n"),
                  std::string::npos)
            << listing.str();
    }
}

// Tags a save can change carry a mark, in the JSON and at the end of their line; a text
// field without a variable and a static text that cannot be read carry none.
TEST(MovieDescription, MarksWhatASaveCanChange) {
    test::TempDir dir;
    const std::string path = dir.file("m.swf");
    const Bytes push = Bytes{0x00} + test::cstr("v") + Bytes{0x00} + test::cstr("x");
    const Bytes field = test::le16(6) + Bytes{0x00, 0x00, 0x00};  // empty RECT, no flags
    test::MovieBuilder()
        .background(1, 2, 3)
        .tag(48, test::le16(1) + Bytes{0x00, 0, 1, 'F'} + test::le16(0))  // DefineFont2 "F"
        .tag(35, test::le16(2) + test::le32(2) + Bytes{0xFF, 0xD9})       // DefineBitsJPEG3
        .tag(14, test::le16(3) + Bytes{0x2F} + test::le32(0))             // DefineSound
        .tag(37, field + test::cstr("title"))                             // DefineEditText
        .tag(37, field + test::cstr(""))                                  // no variable
        .tag(11, test::le16(7) + Bytes{0x00, 0x00, 0, 0, 0x00})           // DefineText
        .tag(11, test::le16(8))                                           // cut short
        .tag(12, Bytes{0x96} + test::le16(static_cast<std::uint16_t>(push.size())) + push + Bytes{0x1D, 0x00})
        .showFrame()
        .writeTo(path);
    std::ostringstream json;
    ASSERT_FALSE(writeMovieDescription(path, json, true).failed());
    std::vector<std::string> marks;
    const auto doc = nlohmann::json::parse(json.str());
    for (const auto& tag : doc["tags"]) marks.push_back(tag.value("changeable", "-"));
    EXPECT_EQ(marks, (std::vector<std::string>{"background", "font", "picture", "sound", "text", "-", "static text",
                                               "-", "variables", "-"}));
    std::ostringstream text;
    ASSERT_FALSE(writeMovieDescription(path, text, false).failed());
    EXPECT_NE(text.str().find(" id 1 font F [changeable: font]\n"), std::string::npos) << text.str();
}

}  // namespace
}  // namespace tarvenox
