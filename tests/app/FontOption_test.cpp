// `tarvenox save --font NAME=FACE` and `tarvenox fonts`, run as a user runs them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "font/DefineFont2.h"
#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"

namespace tarvenox {
namespace {

using test::MovieBuilder;
using test::runTarvenox;
using test::TempDir;

Bytes fontBody(std::uint16_t id, const std::string& name) {
    GlyphOutlines empty;
    for (int i = 0; i < 224; ++i) empty.glyphs.push_back(std::make_unique<NullGlyph>());
    return buildDefineFont2Body(id, name, empty);
}

// "Grüß" as a movie of the version stores it: Windows-1252 before version 6, UTF-8 after.
std::string gruss(std::uint8_t version) { return version >= 6 ? "Gr\xC3\xBC\xC3\x9F" : "Gr\xFC\xDF"; }

// A movie with three fonts, the names in the version's encoding.
Bytes movieWithFonts(std::uint8_t version = 6) {
    return MovieBuilder(version)
        .background(0, 0, 0)
        .tag(48, fontBody(3, "title"))
        .tag(48, fontBody(4, "Title"))
        .tag(48, fontBody(5, gruss(version)))
        .showFrame()
        .build();
}

SWFFont& fontAt(SWFFile& movie, std::size_t index) { return dynamic_cast<SWFFont&>(*movie.tags().at(index)); }

TEST(FontOption, RebuildsNamedFontsInByteOrderKeepingIdsAndNamesInTheMoviesEncoding) {
    for (std::uint8_t version : {5, 6}) {
        SCOPED_TRACE(int(version));
        TempDir dir;
        std::string in = dir.write("in.swf", movieWithFonts(version));
        std::string out = dir.file("out.swf");
        auto r = runTarvenox("save '" + in + "' -o '" + out +
                             "' --font 'title=Liberation Serif' --font 'Grüß=DejaVu Sans'"
                             " --font 'Title=DejaVu Sans Mono' --verbose");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
        // Byte-wise order of the names: "Grüß" < "Title" < "title".
        std::size_t a = r.err.find("replacing font Grüß with font DejaVu Sans\n");
        std::size_t b = r.err.find("replacing font Title with font DejaVu Sans Mono\n");
        std::size_t c = r.err.find("replacing font title with font Liberation Serif\n");
        ASSERT_NE(a, std::string::npos) << r.err;
        ASSERT_NE(b, std::string::npos) << r.err;
        ASSERT_NE(c, std::string::npos) << r.err;
        EXPECT_LT(a, b);
        EXPECT_LT(b, c);

        SWFFile movie = test::readMovie(out);
        const std::pair<std::uint16_t, std::string> expected[] = {{3, "title"}, {4, "Title"}, {5, gruss(version)}};
        for (std::size_t i = 0; i < 3; ++i) {
            SWFFont& font = fontAt(movie, i + 1);
            EXPECT_EQ(font.characterId(), expected[i].first);
            EXPECT_EQ(font.getFontName(), expected[i].second);
            EXPECT_EQ(peekUI16(font.body(), 5 + expected[i].second.size()), 224);
            // Real outlines: far more than the 2-byte empty shapes of the template.
            EXPECT_GT(font.length(), 10000u);
        }
    }
}

TEST(FontOption, MalformedOptionsAreRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    std::string in = dir.write("in.swf", movieWithFonts());
    std::string out = dir.file("out.swf");
    // Not NAME=FACE, a name Windows-1252 cannot hold, a name no font of the movie has
    // (names compare case-sensitively).
    for (const char* option : {"Title", "=DejaVu Sans", "Title=", "Ω=DejaVu Sans", "TITLE=DejaVu Sans"}) {
        SCOPED_TRACE(option);
        auto r = runTarvenox("save '" + in + "' -o '" + out + "' --font '" + option + "'");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("tarvenox: --font", 0), 0u) << r.err;
        EXPECT_TRUE(test::readBytes(out).empty());
    }
}

// fontconfig reads the configuration named by FONTCONFIG_FILE; an empty one knows no
// font at all, which is how a system without fonts looks to the program.
TEST(FontOption, NoFontAtAllIsReportedAndNothingIsWritten) {
    TempDir dir;
    std::string in = dir.write("in.swf", movieWithFonts());
    std::string out = dir.file("out.swf");
    std::string config = dir.write("fonts.conf", std::string("<?xml version=\"1.0\"?><fontconfig/>\n"));
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    auto r = runTarvenox("save '" + in + "' -o '" + out + "' --font 'Title=DejaVu Sans'");
    auto listed = runTarvenox("fonts");
    unsetenv("FONTCONFIG_FILE");
    EXPECT_EQ(r.status, 1);
    // The font conversion's internal message stays inside; the user learns what to do.
    EXPECT_EQ(r.err, "tarvenox: --font Title: no installed fonts: install a TrueType font, e.g. "
                     "fonts-dejavu-core\n");
    EXPECT_TRUE(test::readBytes(out).empty());
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "");
}

}  // namespace
}  // namespace tarvenox
