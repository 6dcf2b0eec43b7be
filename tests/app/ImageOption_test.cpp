// `tarvenox save --image` and the pictures `tarvenox inspect` lists, run as a user runs them.
#include <gtest/gtest.h>

#include <algorithm>

#include <png.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "common/Texts.h"
#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "support/TextOpening.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using nlohmann::json;
using test::cstr;
using test::le16;
using test::MovieBuilder;
using test::operator+;
using test::clippedBitmapShape;
using test::runTarvenox;
using test::TempDir;

Bytes losslessTag(std::uint16_t id, std::uint16_t width, std::uint16_t height) {
    return le16(id) + Bytes{5} + le16(width) + le16(height) + Bytes{0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1};
}

// "alpha" exports bitmap 1 (10 x 10, shown by shape 2), "Zeta" bitmap 3 (8 x 8); bitmap 4
// (10 x 10, shown by shape 5) has no export name.
Bytes templateMovie() {
    return MovieBuilder()
        .background(0, 0, 0)
        .tag(20, losslessTag(1, 10, 10))
        .tag(2, clippedBitmapShape(2, 1))
        .tag(20, losslessTag(3, 8, 8))
        .tag(56, le16(1) + le16(1) + cstr("alpha"))
        .tag(56, le16(1) + le16(3) + cstr("Zeta"))
        .tag(20, losslessTag(4, 10, 10))
        .tag(2, clippedBitmapShape(5, 4))
        .showFrame()
        .build();
}

Bytes greyPng(std::uint32_t width, std::uint32_t height) {
    test::PngPicture picture{.width = width, .height = height, .colorType = PNG_COLOR_TYPE_GRAY};
    picture.rows.assign(height, Bytes(width, 0x55));
    return test::encodePng(picture);
}

struct Fixture {
    TempDir dir;
    std::string movie = dir.write("template.swf", templateMovie());
    std::string output = dir.file("out.swf");

    test::RunResult save(const std::string& options) {
        return runTarvenox("save '" + movie + "' -o '" + output + "' " + options);
    }
    json inspect() {
        auto r = runTarvenox("inspect --json '" + output + "'");
        EXPECT_EQ(r.status, 0) << r.err;
        return json::parse(r.out);
    }
};

TEST(ImageOption, ReplacesPicturesInExportNameOrderAndRescalesTheShape) {
    Fixture f;
    const std::string a = f.dir.write("a.png", greyPng(40, 5));
    const std::string z = f.dir.write("z.jpg", test::encodeJpeg(16, 16, false));
    auto r = f.save("--verbose --image 'alpha=" + a + "' --image 'Zeta=" + z + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    // Upper case sorts before lower case.
    const std::string zLine = "replacing image Zeta with image " + z + "\n";
    const std::string aLine = "replacing image alpha with image " + a + "\n";
    ASSERT_NE(r.err.find(zLine), std::string::npos) << r.err;
    EXPECT_LT(r.err.find(zLine), r.err.find(aLine));
    EXPECT_NE(r.err.find(aLine + "new size\n"), std::string::npos);

    const json doc = f.inspect();
    const json& tags = doc["tags"];
    // The 10 x 10 slot takes the middle 5 x 5 of the 40 x 5 picture (cover), which the
    // shape shows at the slot's old size.
    EXPECT_EQ(tags[1]["code"], 20);
    EXPECT_EQ(tags[1]["id"], 1);
    EXPECT_EQ(tags[1]["width"], 5);
    EXPECT_EQ(tags[1]["height"], 5);
    const json& fill = tags[2]["bitmapFills"][0];
    EXPECT_EQ(fill["bitmapId"], 1);
    EXPECT_EQ(fill["matrix"]["scaleX"], 40.0);
    EXPECT_EQ(fill["matrix"]["scaleY"], 40.0);
    EXPECT_EQ(fill["matrix"]["translateX"], 100);
    // No shape shows bitmap 3: its picture is stored as it is.
    EXPECT_EQ(tags[3]["code"], 21);
    EXPECT_EQ(tags[3]["kind"], "jpeg");
    EXPECT_EQ(tags[3]["width"], 16);
}

TEST(ImageOption, FitsThePictureToItsSlotAsAsked) {
    Fixture f;
    const std::string a = f.dir.write("a.png", greyPng(40, 5));
    struct Case {
        const char* fit;
        int width, height;
        double scaleX, scaleY;
    };
    const Case cases[] = {
        // The slot shows 10 x 10 stage pixels: at most 20 x 20 pixels of the picture.
        {"contain", 20, 20, 10.0, 10.0},
        {"stretch", 20, 5, 10.0, 40.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fit);
        auto r = f.save("--image 'alpha=" + a + "' --fit alpha=" + c.fit);
        ASSERT_EQ(r.status, 0) << r.err;
        const json tags = f.inspect()["tags"];
        EXPECT_EQ(tags[1]["code"], std::string(c.fit) == "contain" ? 36 : 20);
        EXPECT_EQ(tags[1]["width"], c.width);
        EXPECT_EQ(tags[1]["height"], c.height);
        const json& fill = tags[2]["bitmapFills"][0];
        EXPECT_EQ(fill["matrix"]["scaleX"], c.scaleX);
        EXPECT_EQ(fill["matrix"]["scaleY"], c.scaleY);
    }
    auto refused = f.save("--image 'alpha=" + a + "' --fit alpha=zoom");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "tarvenox: --fit: 'alpha=zoom' is not NAME=cover, NAME=contain or NAME=stretch\n");
}

// A photo large enough for its pixels to be compressed in blocks on several threads, and
// a picture and a sound beside it, converted side by side: the saved movie has the same
// bytes on one core as on all, and the photo's pixels inflate back to the file's.
TEST(ImageOption, ReplacesABitmapWithoutExportNameByItsCharacterId) {
    Fixture f;
    auto r = f.save("--image '4=" + f.dir.write("a.png", greyPng(40, 5)) + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const json tags = f.inspect()["tags"];
    EXPECT_EQ(tags[1]["width"], 10);  // bitmap 1 keeps its picture
    EXPECT_EQ(tags[6]["id"], 4);
    EXPECT_EQ(tags[6]["width"], 5);
    EXPECT_EQ(tags[6]["height"], 5);
    const json& fill = tags[7]["bitmapFills"][0];
    EXPECT_EQ(fill["bitmapId"], 4);
    EXPECT_EQ(fill["matrix"]["scaleX"], 40.0);
    EXPECT_EQ(fill["matrix"]["scaleY"], 40.0);
}

TEST(ImageOption, ASaveGivesTheSameBytesOnOneCoreAsOnAll) {
    Fixture f;
    const std::uint32_t width = 1024;
    const std::uint32_t height = 600;
    test::PngPicture photo{.width = width, .height = height, .colorType = PNG_COLOR_TYPE_RGB};
    Bytes argb;
    std::uint32_t noise = 1;
    for (std::uint32_t y = 0; y < height; ++y) {
        Bytes row(width * 3);
        for (std::uint32_t i = 0; i < row.size(); ++i) {
            noise = noise * 1103515245u + 12345u;
            row[i] = static_cast<std::uint8_t>(i / 16 + y / 4 + (noise >> 27));
            if (i % 3 == 0) argb.push_back(0);
            argb.push_back(row[i]);
        }
        photo.rows.push_back(std::move(row));
    }
    const std::string png = f.dir.write("photo.png", test::encodePng(photo));
    const std::string jpeg = f.dir.write("z.jpg", test::encodeJpeg(300, 200, false));
    // The photo goes where no shape shows it, so that it is stored whole; the JPEG is
    // fitted to its slot.
    const std::string options = "--image 'Zeta=" + png + "' --image 'alpha=" + jpeg + "'";
    const std::string oneCore = f.dir.file("one-core.swf");
    const std::string command =
        std::string("taskset -c 0 '") + TARVENOX_BINARY + "' save '" + f.movie + "' -o '" + oneCore + "' " + options;
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto r = f.save(options);
    ASSERT_EQ(r.status, 0) << r.err;
    const Bytes saved = test::readBytes(f.output);
    EXPECT_EQ(saved, test::readBytes(oneCore));

    SWFFile movie = test::readMovie(saved, "out.swf");
    ASSERT_GE(movie.tags().size(), 4u);
    const ByteSpan body = movie.tags()[3]->body();
    EXPECT_EQ(test::inflate(body, 7, argb.size()), argb);
}

TEST(ImageOption, InspectListsBitmapsAndTheFillsThatShowThem) {
    TempDir dir;
    auto r = runTarvenox("inspect '" + dir.write("t.swf", templateMovie()) + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("id 1 lossless 10x10"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("id 2 fill 1 bitmap 1 clipped scale 20x20 at 100,0"), std::string::npos);
}

TEST(ImageOption, RefusedPicturesStopTheSaveBeforeAnythingIsWritten) {
    Fixture f;
    const std::string progressive = f.dir.write("p.JPG", test::encodeJpeg(16, 16, true));
    const std::string broken = f.dir.write("b.png", Bytes{0x89, 'P', 'N', 'G', 0, 0});
    const std::string good = f.dir.write("g.png", greyPng(2, 2));
    struct Case {
        std::string options;
        std::string message;
    };
    const Case cases[] = {
        {"--image 'alpha=" + progressive + "'",
         "tarvenox: --image alpha: " + progressive + ": " + text("jpeg.progressive") + "\n"},
        {"--image 'alpha=" + broken + "'", "tarvenox: --image alpha: " + test::textOpening("png.undecodable", broken)},
        {"--image 'alpha=" + f.dir.file("missing.png") + "'",
         "tarvenox: --image alpha: " + f.dir.file("missing.png") + ": cannot open: "},
        {"--image 'beta=" + good + "'", "the movie exports no picture named 'beta'"},
        {"--image '2=" + good + "'",
         "tarvenox: --image 2=" + good + ": character 2 is a shape (DefineShape), not a picture\n"},
        {"--image 'alpha=" + f.dir.write("g.gif", greyPng(2, 2)) + "'", "must be a PNG or JPEG file"},
        {"--image alpha", text("form.notInForm", {"--image", "alpha", text("form.exportFile")})},
        // A good picture first does not let the save go ahead.
        {"--image 'Zeta=" + good + "' --image 'alpha=" + progressive + "'", text("jpeg.progressive")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        auto r = f.save(c.options);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(f.output));
    }
}

}  // namespace
}  // namespace tarvenox
