// Fitting converted pictures to their slots: JPEG stays JPEG, lossless stays lossless.
#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include "picture/JpegPixels.h"
#include "picture/LosslessPixels.h"
#include "picture/PictureFile.h"
#include "picture/PictureFit.h"
#include "picture/PngImage.h"
#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"
#include "swf/SWFJpegImage.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {
namespace {

using test::operator+;

// A width x height RGB JPEG whose top half is red and bottom half blue.
Bytes redOverBlue(int width, int height, int quality) {
    Bytes rgb;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool top = y < height / 2;
            rgb.insert(rgb.end(), {std::uint8_t(top ? 220 : 20), 20, std::uint8_t(top ? 20 : 220)});
        }
    }
    return test::encodeJpegRgb(width, height, rgb, quality);
}

// The JPEG with an Exif segment saying the camera was held with the given orientation.
Bytes withOrientation(const Bytes& jpeg, std::uint8_t orientation) {
    const Bytes exif = {0xFF, 0xE1, 0,    30,                                                 // APP1, length
                        'E',  'x',  'i',  'f',  0, 0, 'M', 'M', 0, 42, 0, 0,           0, 8,  // big-endian TIFF
                        0,    1,    0x01, 0x12, 0, 3, 0,   0,   0, 1,  0, orientation, 0, 0};
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), exif.begin(), exif.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

PicturePixels decodedJpeg(const SWFImage& image) {
    // After the id and the empty stream (DefineBitsJPEG2), or the id and the alpha's
    // offset (DefineBitsJPEG3).
    auto pixels = decodeJpegPixels(image.body().subspan(6), 1.0);
    EXPECT_TRUE(pixels);
    return pixels ? *pixels : PicturePixels{};
}

TEST(FittedPicture, APortraitPhotographStandsUpAndKeepsItsQuality) {
    // Stored landscape, 400 x 300, to be turned a quarter clockwise: the stored top (red)
    // comes to the right.
    const auto source = SWFJpegImage::fromJpegData(0, withOrientation(redOverBlue(400, 300, 70), 6));
    const auto fitted = fittedPicture(*source, {100, 100}, PictureFit::Cover);
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(fitted->code(), TagCode::DefineBitsJPEG2);
    EXPECT_EQ(fitted->width(), 200);
    EXPECT_EQ(fitted->height(), 200);
    const PicturePixels pixels = decodedJpeg(*fitted);
    const auto red = [&](std::uint32_t x, std::uint32_t y) { return pixels.samples[(y * pixels.width + x) * 3]; };
    EXPECT_GT(red(190, 100), 180);
    EXPECT_LT(red(10, 100), 60);
    const auto header = readJpegHeader(fitted->body().subspan(6));
    ASSERT_TRUE(header);
    EXPECT_NEAR(header->quality, 70, 2);
    EXPECT_EQ(header->orientation, 1);
}

TEST(FittedPicture, ContainFramesAJpegWithAnAlphaChannel) {
    const auto source = SWFJpegImage::fromJpegData(0, redOverBlue(400, 300, 85));
    const auto fitted = fittedPicture(*source, {50, 50}, PictureFit::Contain);
    ASSERT_NE(fitted, nullptr);
    ASSERT_EQ(fitted->code(), TagCode::DefineBitsJPEG3);
    EXPECT_EQ(fitted->width(), 100);
    EXPECT_EQ(fitted->height(), 100);
    // Alpha: transparent above the picture (rows 0 to 12), opaque in it.
    const ByteSpan body = fitted->body();
    const std::uint32_t jpegSize = body[2] | body[3] << 8 | body[4] << 16 | std::uint32_t{body[5]} << 24;
    const Bytes alpha = test::inflate(body, 6 + jpegSize, 100 * 100);
    ASSERT_EQ(alpha.size(), 100u * 100u);
    EXPECT_EQ(alpha[5 * 100 + 50], 0);
    EXPECT_EQ(alpha[50 * 100 + 50], 255);
}

TEST(FittedPicture, APictureThatAlreadyFitsIsInstalledAsItIs) {
    const auto jpeg = SWFJpegImage::fromJpegData(0, redOverBlue(200, 200, 85));
    EXPECT_EQ(fittedPicture(*jpeg, {100, 100}, PictureFit::Cover), nullptr);
    EXPECT_EQ(fittedPicture(*jpeg, {300, 300}, PictureFit::Contain), nullptr);
    // A slot of no size has nothing to fit to.
    EXPECT_EQ(fittedPicture(*jpeg, {0, 10}, PictureFit::Cover), nullptr);
}

TEST(FittedPicture, PngPicturesStayLosslessWithTheirAlpha) {
    test::PngPicture picture{.width = 60, .height = 20, .colorType = PNG_COLOR_TYPE_RGBA};
    picture.rows.assign(20, Bytes{});
    for (auto& row : picture.rows) {
        for (int x = 0; x < 60; ++x) row.insert(row.end(), {200, 100, 50, std::uint8_t(x < 30 ? 255 : 128)});
    }
    auto png = PngImageImpl::decode(test::encodePng(picture), "p.png");
    ASSERT_TRUE(png);
    const auto source = losslessImageFromPng(0, *png);
    ASSERT_NE(source, nullptr);
    // A 10 x 10 slot: the middle 20 x 20 of the picture, kept at its own 20 x 20 pixels.
    const auto fitted = fittedPicture(*source, {10, 10}, PictureFit::Cover);
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(fitted->code(), TagCode::DefineBitsLossless2);
    EXPECT_EQ(fitted->width(), 20);
    EXPECT_EQ(fitted->height(), 20);
    const auto pixels = losslessPixels(static_cast<const SWFLosslessImage&>(*fitted));
    ASSERT_TRUE(pixels);
    // Premultiplied, as the source was: the left half opaque, the right half half covered.
    const auto at = [&](std::uint32_t x, int c) { return pixels->samples[(10 * 20 + x) * 4 + c]; };
    EXPECT_EQ(at(2, 3), 255);
    EXPECT_NEAR(at(2, 0), 200, 1);
    EXPECT_NEAR(at(17, 3), 128, 1);
    EXPECT_NEAR(at(17, 0), 100, 2);
}

// The PNG with an eXIf chunk (after IHDR) saying the camera was held with the given
// orientation.
Bytes pngWithOrientation(const Bytes& png, std::uint8_t orientation) {
    const Bytes data = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, orientation, 0, 0};
    Bytes chunk = {0, 0, 0, static_cast<std::uint8_t>(data.size()), 'e', 'X', 'I', 'f'};
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
    for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(static_cast<std::uint8_t>(crc >> shift));
    constexpr std::size_t kAfterHeader = 8 + 25;  // the signature and IHDR
    Bytes out = png;
    out.insert(out.begin() + kAfterHeader, chunk.begin(), chunk.end());
    return out;
}

TEST(PngOrientation, APngStandsUpAsItsExifChunkSays) {
    // 3 x 2, the first stored pixel red, the others blue.
    const Bytes red = {255, 0, 0}, blue = {0, 0, 255};
    const Bytes png =
        test::encodePng({.width = 3, .height = 2, .colorType = 2, .rows = {red + blue + blue, blue + blue + blue}});
    struct Case {
        std::uint8_t orientation;
        std::uint16_t width, height;
        std::uint32_t redX, redY;  // where the first stored pixel is seen
    };
    const Case cases[] = {{1, 3, 2, 0, 0}, {3, 3, 2, 2, 1}, {6, 2, 3, 1, 0}, {8, 2, 3, 0, 2}};
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.orientation));
        const auto converted = convertPicture(dir.write("p.png", pngWithOrientation(png, c.orientation)));
        ASSERT_TRUE(converted);
        ASSERT_NE(converted->image, nullptr);
        EXPECT_EQ(converted->image->width(), c.width);
        EXPECT_EQ(converted->image->height(), c.height);
        const auto pixels = losslessPixels(dynamic_cast<const SWFLosslessImage&>(*converted->image));
        ASSERT_TRUE(pixels);
        const std::size_t at = (std::size_t{c.redY} * pixels->width + c.redX) * pixels->channels;
        EXPECT_EQ(Bytes(pixels->samples.begin() + at, pixels->samples.begin() + at + 3), red);
    }
}

TEST(LosslessPixels, ReadsColourTablesAndRefusesShortData) {
    test::PngPicture picture{.width = 3, .height = 2, .colorType = PNG_COLOR_TYPE_PALETTE};
    picture.palette = {10, 20, 30, 40, 50, 60};
    picture.rows = {Bytes{0, 1, 0}, Bytes{1, 1, 0}};
    auto png = PngImageImpl::decode(test::encodePng(picture), "p.png");
    ASSERT_TRUE(png);
    const auto image = losslessImageFromPng(0, *png);
    ASSERT_NE(image, nullptr);
    const auto pixels = losslessPixels(*image);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->channels, 3);
    EXPECT_EQ(pixels->samples, (Bytes{10, 20, 30, 40, 50, 60, 10, 20, 30, 40, 50, 60, 40, 50, 60, 10, 20, 30}));

    const ByteSpan body = image->body();
    const SWFLosslessImage cut(TagCode::DefineBitsLossless, Bytes(body.begin(), body.begin() + 10));
    EXPECT_FALSE(losslessPixels(cut));
}

}  // namespace
}  // namespace tarvenox
