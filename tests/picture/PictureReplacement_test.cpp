// Replacing a movie's picture by a PNG or JPEG file, and the shapes that show it.
#include <gtest/gtest.h>

#include <png.h>

#include "common/Texts.h"
#include "picture/LosslessPixels.h"
#include "picture/PictureReplacement.h"
#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "support/TextOpening.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFFile.h"
#include "swf/SWFImage.h"
#include "swf/SWFLosslessImage.h"
#include "swf/SWFWriter.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::MovieBuilder;
using test::operator+;
using test::TempDir;

constexpr std::int32_t kOne = 1 << 16;

Bytes shapeShowing(std::uint16_t shapeId, std::uint16_t bitmapId) {
    SWFFillStyle fill;
    fill.type = SWFFillStyle::kClippedBitmap;
    fill.bitmapId = bitmapId;
    fill.bitmapMatrix = {.hasScale = true, .scaleX = 20 * kOne, .scaleY = 20 * kOne};
    SWFShapeStyles styles;
    styles.shapeId = shapeId;
    styles.fillStyles = {fill};
    return styles.write() + Bytes{0x10, 0x00};
}

// Bitmap 1 (lossless, 100 x 50) shown by shapes 2 and 3; bitmap 5 (JPEG, 40 x 30)
// shown by shape 4. "logo" exports 1 and "photo" 5; "hidden" names bitmap 1 as the
// second asset of its tag.
Bytes templateMovie() {
    const Bytes jpeg =
        Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 30, 0x00, 40, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
    return MovieBuilder()
        .tag(20, le16(1) + Bytes{5} + le16(100) + le16(50) + Bytes{0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1})
        .tag(2, shapeShowing(2, 1))
        .tag(2, shapeShowing(3, 1))
        .tag(21, le16(5) + jpeg)
        .tag(2, shapeShowing(4, 5))
        .tag(56, le16(1) + le16(1) + cstr("logo"))
        .tag(56, le16(1) + le16(5) + cstr("photo"))
        .tag(56, le16(2) + le16(7) + cstr("other") + le16(1) + cstr("hidden"))
        .showFrame()
        .build();
}

Bytes rgbaPng(std::uint32_t width, std::uint32_t height) {
    test::PngPicture picture{.width = width, .height = height, .colorType = PNG_COLOR_TYPE_RGBA};
    picture.rows.assign(height, Bytes(width * 4, 0x80));
    return test::encodePng(picture);
}

std::int32_t fillScaleX(SWFFile& movie, std::size_t tagIndex) {
    auto* shape = dynamic_cast<SWFDefineShape*>(movie.tags()[tagIndex].get());
    auto styles = shape->styles();
    return styles ? styles->fillStyles[0].bitmapMatrix.scaleX : -1;
}

TEST(ReplacePicture, PngTakesTheOldPlaceFittedAndTheFirstShapeKeepsTheOldSize) {
    TempDir dir;
    const std::string png = dir.write("new.PNG", rgbaPng(200, 25));
    // The slot shows its 100 x 50 bitmap at 100 x 50 stage pixels: the new picture gets
    // at most 200 x 100 pixels, of the 200 x 25 it has.
    struct Case {
        PictureFit fit;
        std::uint16_t width, height;
        std::int32_t scaleX, scaleY;
    };
    const Case cases[] = {
        // The middle 50 x 25, at the slot's proportions.
        {PictureFit::Cover, 50, 25, 40 * kOne, 40 * kOne},
        // The whole picture in a 200 x 100 frame.
        {PictureFit::Contain, 200, 100, 10 * kOne, 10 * kOne},
        // As it is: 100 -> 200 pixels wide halves ScaleX; 50 -> 25 doubles ScaleY.
        {PictureFit::Stretch, 200, 25, 10 * kOne, 40 * kOne},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(pictureFitName(c.fit));
        SWFFile movie = test::readMovie(templateMovie(), "template.swf");
        testing::internal::CaptureStdout();
        EXPECT_FALSE(replacePicture(movie, "logo", png, c.fit).failed());
        // The walk ends at the first shape that shows the picture.
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "new size\n");

        auto* image = dynamic_cast<SWFImage*>(movie.tags()[0].get());
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->code(), TagCode::DefineBitsLossless2);
        EXPECT_EQ(image->characterId(), 1);
        EXPECT_EQ(image->width(), c.width);
        EXPECT_EQ(image->height(), c.height);
        // Only the first shape that uses the picture is rescaled.
        EXPECT_EQ(fillScaleX(movie, 1), c.scaleX);
        EXPECT_EQ(fillScaleX(movie, 2), 20 * kOne);
        auto styles = dynamic_cast<SWFDefineShape*>(movie.tags()[1].get())->styles();
        EXPECT_EQ(styles->fillStyles[0].bitmapMatrix.scaleY, c.scaleY);
        EXPECT_EQ(fillScaleX(movie, 4), 20 * kOne);
    }
}

// Pictures of other proportions than their slots, drawn: the bitmap's size through the
// fill's matrix fills the slot, and what shows of the picture keeps the picture's
// proportions within 1% (all of it inside its transparent frame under Contain; under
// Cover a part with the slot's proportions, scaled alike both ways).
TEST(ReplacePicture, CoverAndContainKeepThePicturesProportionsOnTheStage) {
    struct Case {
        std::uint16_t slotWidth, slotHeight;  // stage pixels
        std::uint32_t width, height;          // the picture's pixels
    };
    const Case cases[] = {{137, 291, 1200, 900}, {300, 120, 480, 640}, {250, 250, 1000, 301}, {90, 160, 641, 480}};
    TempDir dir;
    for (const Case& c : cases) {
        test::PngPicture picture{.width = c.width, .height = c.height, .colorType = PNG_COLOR_TYPE_RGB};
        picture.rows.assign(c.height, Bytes(c.width * 3, 0x80));
        const std::string png = dir.write("p.png", test::encodePng(picture));
        for (const PictureFit fit : {PictureFit::Cover, PictureFit::Contain}) {
            SCOPED_TRACE(std::to_string(c.slotWidth) + "x" + std::to_string(c.slotHeight) + " " +
                         std::to_string(c.width) + "x" + std::to_string(c.height) + " " + pictureFitName(fit));
            // A slot bitmap of the slot's size, drawn one pixel to a stage pixel.
            SWFFile movie = test::readMovie(MovieBuilder()
                                                .tag(20, le16(1) + Bytes{5} + le16(c.slotWidth) + le16(c.slotHeight) +
                                                             Bytes{0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1})
                                                .tag(2, shapeShowing(2, 1))
                                                .showFrame()
                                                .build());
            testing::internal::CaptureStdout();
            ASSERT_FALSE(replacePicture(movie, "1", png, fit).failed());
            testing::internal::GetCapturedStdout();
            const auto* bitmap = dynamic_cast<const SWFLosslessImage*>(movie.tags()[0].get());
            ASSERT_NE(bitmap, nullptr);
            const auto styles = dynamic_cast<SWFDefineShape*>(movie.tags()[1].get())->styles();
            const double scaleX = styles->fillStyles[0].bitmapMatrix.scaleX / double(kOne) / 20;
            const double scaleY = styles->fillStyles[0].bitmapMatrix.scaleY / double(kOne) / 20;
            EXPECT_NEAR(bitmap->width() * scaleX / c.slotWidth, 1.0, 0.01);
            EXPECT_NEAR(bitmap->height() * scaleY / c.slotHeight, 1.0, 0.01);
            // What shows of the picture: the opaque pixels.
            const auto pixels = losslessPixels(*bitmap);
            ASSERT_TRUE(pixels);
            std::uint32_t left = pixels->width, right = 0, top = pixels->height, bottom = 0;
            for (std::uint32_t y = 0; y < pixels->height; ++y) {
                for (std::uint32_t x = 0; x < pixels->width; ++x) {
                    const std::size_t at = (std::size_t{y} * pixels->width + x) * pixels->channels;
                    if (pixels->channels == 4 && pixels->samples[at + 3] == 0) continue;
                    left = std::min(left, x), right = std::max(right, x + 1);
                    top = std::min(top, y), bottom = std::max(bottom, y + 1);
                }
            }
            ASSERT_LT(left, right);
            const double drawn = (right - left) * scaleX / ((bottom - top) * scaleY);
            const double expected =
                fit == PictureFit::Contain ? double(c.width) / c.height : double(c.slotWidth) / c.slotHeight;
            EXPECT_NEAR(drawn / expected, 1.0, 0.01);
            // Under Cover the whole bitmap shows, alike both ways: the part of the picture
            // kept has the bitmap's proportions.
            if (fit == PictureFit::Cover) {
                EXPECT_NEAR(scaleX / scaleY, 1.0, 0.01);
            }
        }
    }
}

TEST(ReplacePicture, JpegWithCapitalExtensionReplacesTheJpegBitmap) {
    TempDir dir;
    const Bytes jpeg = test::encodeJpeg(80, 15, false);
    const std::string path = dir.write("photo.JPEG", jpeg);
    SWFFile movie = test::readMovie(templateMovie(), "template.swf");
    testing::internal::CaptureStdout();
    // Stretched, the 80 x 15 picture already fits the 40 x 30 slot's 80 x 60: its file is
    // stored as it is.
    EXPECT_FALSE(replacePicture(movie, "photo", path, PictureFit::Stretch).failed());
    // Shapes that do not use the picture are visited on the way, each with its line.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "new size\nnew size\nnew size\n");

    auto* image = dynamic_cast<SWFImage*>(movie.tags()[3].get());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->code(), TagCode::DefineBitsJPEG2);
    EXPECT_EQ(image->length(), jpeg.size() + 8);
    EXPECT_EQ(image->width(), 80);
    EXPECT_EQ(fillScaleX(movie, 4), 10 * kOne);
    EXPECT_EQ(fillScaleX(movie, 1), 20 * kOne);
}

TEST(ReplacePicture, MovieStaysAsItWasWhenThePictureCannotBeUsed) {
    TempDir dir;
    const std::string png = dir.write("p.png", rgbaPng(3, 3));
    const std::string broken = dir.write("broken.png", Bytes{0x89, 'P', 'N', 'G'});
    struct Case {
        const char* name;
        std::string exportName;
        std::string path;
        std::string message;  // what the user is told, if anything
    };
    const Case cases[] = {
        {"unknown export name", "nothing", png, ""},
        {"name in another case", "LOGO", png, ""},
        {"neither PNG nor JPEG", "logo", dir.write("p.gif", rgbaPng(3, 3)), ""},
        {"missing PNG", "logo", dir.file("gone.png"), text("picture.notFound", {dir.file("gone.png")})},
        {"missing JPEG", "photo", dir.file("gone.jpg"), text("picture.notFound", {dir.file("gone.jpg")})},
        {"corrupt PNG", "logo", broken, test::textOpening("png.invalid", broken)},
    };
    const Bytes original = templateMovie();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SWFFile movie = test::readMovie(original, "template.swf");
        const Report report = replacePicture(movie, c.exportName, c.path);
        EXPECT_EQ(serializeSWF(movie), original);
        EXPECT_EQ(report.failed(), !c.message.empty());
        if (c.message.empty()) {
            EXPECT_TRUE(report.messages().empty());
        } else {
            ASSERT_EQ(report.messages().size(), 1u);
            EXPECT_EQ(report.messages()[0].text.rfind(c.message, 0), 0u) << report.text();
            EXPECT_EQ(report.messages()[0].kind, MessageKind::OkCancel);
        }
    }
}

}  // namespace
}  // namespace tarvenox
