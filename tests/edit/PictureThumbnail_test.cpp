// A movie's bitmaps as small PNG pictures: each lossless format read with its row padding
// and alpha, JPEG tables joined, and large pictures scaled down.
#include "edit/PictureThumbnail.h"

#include <gtest/gtest.h>
#include <png.h>

#include <array>

#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "swf/Deflate.h"
#include "swf/SWFFile.h"
#include "swf/SWFImage.h"

namespace tarvenox {
namespace {

using test::le16;
using test::operator+;

struct Decoded {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Bytes rgba;
    std::array<int, 4> at(std::uint32_t x, std::uint32_t y) const {
        const std::size_t i = (std::size_t{y} * width + x) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    }
};

Decoded readPng(const Bytes& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Decoded out;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return out;
    image.format = PNG_FORMAT_RGBA;
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) return {};
    out.width = image.width;
    out.height = image.height;
    return out;
}

// The thumbnail of character 1 of a movie holding the tag.
Decoded thumbnailOf(int code, const Bytes& body, const Bytes& before = {}) {
    test::MovieBuilder builder(8);
    if (!before.empty()) builder.tag(8, before);
    SWFFile movie = test::readMovie(builder.tag(code, body).showFrame().build());
    const SWFImage* image = findImageSlot(movie, "1");
    if (image == nullptr) return {};
    auto png = pictureThumbnail(movie, *image);
    return png ? readPng(*png) : Decoded{};
}

Bytes lossless(std::uint8_t format, std::uint16_t width, std::uint16_t height, const Bytes& head, const Bytes& data) {
    return le16(1) + Bytes{format} + le16(width) + le16(height) + head + zlibCompress(data);
}

TEST(PictureThumbnail, LosslessFormatsKeepTheirColours) {
    // Palette: 3 pixels a row, padded to 4; red and a half-transparent green
    // (premultiplied in DefineBitsLossless2).
    const Decoded palette =
        thumbnailOf(36, lossless(3, 3, 2, {1}, Bytes{255, 0, 0, 255, 0, 64, 0, 128} + Bytes{0, 1, 0, 9, 1, 1, 0, 9}));
    ASSERT_EQ(palette.width, 3u);
    EXPECT_EQ(palette.at(1, 0), (std::array<int, 4>{0, 127, 0, 128}));
    EXPECT_EQ(palette.at(2, 1), (std::array<int, 4>{255, 0, 0, 255}));
    // 15-bit: one pixel padded to 4 bytes a row; pure red above pure blue.
    const Decoded pix15 = thumbnailOf(20, lossless(4, 1, 2, {}, Bytes{0x7C, 0x00, 0, 0, 0x00, 0x1F, 0, 0}));
    EXPECT_EQ(pix15.at(0, 0), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(pix15.at(0, 1), (std::array<int, 4>{0, 0, 255, 255}));
    // 32-bit without alpha: the first byte is not alpha.
    const Decoded pix32 = thumbnailOf(20, lossless(5, 1, 1, {}, Bytes{0, 10, 20, 30}));
    EXPECT_EQ(pix32.at(0, 0), (std::array<int, 4>{10, 20, 30, 255}));
    // Cut-short pixels: no thumbnail.
    EXPECT_EQ(thumbnailOf(20, lossless(5, 2, 2, {}, Bytes{0, 10, 20, 30})).width, 0u);
}

TEST(PictureThumbnail, LargePicturesAreScaledDownAndJpegTablesJoined) {
    const Decoded wide = thumbnailOf(20, lossless(5, 320, 10, {}, Bytes(320 * 10 * 4, 0x80)));
    EXPECT_EQ(wide.width, 160u);
    EXPECT_EQ(wide.height, 5u);
    EXPECT_EQ(wide.at(159, 4), (std::array<int, 4>{128, 128, 128, 255}));

    // DefineBitsJPEG2 written as two streams (tables, then the picture), and the same
    // picture as DefineBits with its tables in JPEGTables: both decode whole.
    const Bytes jpeg = test::encodeJpeg(200, 100, false);
    const Decoded joined = thumbnailOf(21, le16(1) + Bytes{0xFF, 0xD8, 0xFF, 0xD9} + jpeg);
    EXPECT_EQ(joined.width, 160u);
    EXPECT_EQ(joined.height, 80u);
    const Decoded tables = thumbnailOf(6, le16(1) + jpeg, Bytes{0xFF, 0xD8, 0xFF, 0xD9});
    EXPECT_EQ(tables.width, 160u);
}

}  // namespace
}  // namespace tarvenox
